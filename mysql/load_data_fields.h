#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data_access/session.h"

namespace tablift {

// One value as a field of the tab-separated rows that LOAD DATA reads with its
// default layout (fields ended by a tab, lines by a newline, the backslash
// escaping), storing exactly what its INSERT literal (AppendValueLiteral)
// stores:
// - SQL NULL is \N, an empty text an empty field;
// - bytes are written as hexadecimal digits (the load turns them back with
//   UNHEX, see LoadDataBytesColumn), so that no byte of them can be taken
//   for a field or line end or for a broken character of the stream;
// - Yes/No ("True"/"False") become 1 and 0;
// - everything else is its text, with backslash, tab, newline, carriage
//   return and NUL escaped.
// The stream is UTF-8, read by the server as utf8mb4.
void AppendLoadDataField(std::uint16_t columnType, const ColumnValue& value, std::string& out);

// Whether a column of this type travels as hexadecimal digits.
bool LoadDataBytesColumn(std::uint16_t columnType);

}  // namespace tablift
