#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data_access/jet/libmdb_database.h"

namespace tablift::jet {

// Reads a Memo or OLE Object value whole from the 12-byte reference a row
// holds: inline data, one long-value row, or a chain of long-value rows. The
// chain is followed with care: every row must exist, no row is visited twice,
// and nothing beyond the length the reference declares is taken. False, with
// `problem`, when the value cannot be read whole.
bool ReadLongValue(LibmdbDatabase& database, std::span<const std::uint8_t> reference,
                   std::vector<std::uint8_t>& value, std::string& problem);

}  // namespace tablift::jet
