#pragma once

#include <string>

namespace tablift::jet {

// The reader process's whole life: opens the database with libmdb, reads its
// catalog, says whether that worked (the first answer), then answers the
// requests of reader_protocol.h until the provider closes its end of
// `socket`. Returns the process's exit status. After answering a FetchRows
// whose rows have not ended it reads that cursor's next rows while it waits
// for the next request (see rows_ahead.h), so that the provider's work and
// the reading overlap.
int RunReaderService(int socket, const std::string& path);

}  // namespace tablift::jet
