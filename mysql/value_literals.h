#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data_access/db_types.h"
#include "data_access/provider.h"

namespace tablift {

// One value, in the provider's text form, as a literal of a MySQL INSERT
// statement, by the type of its column. The one rendering of values that the
// row transfer and the data backup share, so that a script replays into its
// table exactly:
// - SQL NULL is NULL, whatever the type;
// - bytes (hexadecimal digits) become X'...' with every digit kept, X'' when
//   empty;
// - numbers are written unquoted; Yes/No ("True"/"False") become 1 and 0;
// - everything else (text, dates, GUIDs) becomes a quoted, escaped string.
// A value that is not what its type promises (a number text that is no number,
// bytes that are not hexadecimal) is written as a quoted string, so it can
// never change the statement; the server then converts or rejects it.
std::string ValueLiteral(std::uint16_t columnType, const ColumnValue& value);
// The same literal, appended to `out` (a row's literals are built in one
// buffer).
void AppendValueLiteral(std::uint16_t columnType, const ColumnValue& value, std::string& out);

// The same value as a statement parameter that stores what the literal
// stores: NULL as NULL, bytes as the bytes, Yes/No as "1"/"0", everything
// else as its text (numbers too: the server reads them from text as it reads
// them in a statement). Whole numbers of integer and Yes/No columns, and
// dates of date columns, are marked as such (ParameterValue::Kind). Written
// into `parameter`, whose memory is reused.
void ValueParameter(std::uint16_t columnType, const ColumnValue& value, ParameterValue& parameter);

// Whether a text is a plain decimal number that MySQL reads unquoted: an
// optional sign, digits with at most one point, and an optional exponent.
bool IsNumberText(std::string_view text);

}  // namespace tablift
