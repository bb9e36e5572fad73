#pragma once

#include <string>

namespace tablift::jet {

// The reader process's whole life: opens the database with libmdb, reads its
// catalog, says whether that worked (the first answer), then answers the
// requests of reader_protocol.h until the provider closes its end of
// `socket`. Returns the process's exit status.
int RunReaderService(int socket, const std::string& path);

}  // namespace tablift::jet
