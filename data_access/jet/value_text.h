#pragma once

#include <string>

#include "data_access/db_types.h"
#include "data_access/jet/jet_value.h"

// The provider's text form of values (DESIGN.md): numbers in C locale with
// full precision (the shortest text that reads back to the same number),
// Currency with four decimals, dates "YYYY-MM-DD HH:MM:SS", Yes/No "True" and
// "False", GUIDs in braces, binary as upper-case hexadecimal, text as UTF-8.
namespace tablift::jet {

// `type` is the column's Access type: a Single prints as the float it is.
ColumnValue ValueText(const Value& value, JetType type);
// The same, written into `text`, whose memory is reused.
void ValueText(const Value& value, JetType type, ColumnValue& text);

// An Access date (days since 1899-12-30, the fraction the time of day) as
// "YYYY-MM-DD HH:MM:SS", to the nearest second.
std::string DateText(double days);
// The same, written into `text`.
void DateText(double days, std::string& text);

std::string HexText(const std::vector<std::uint8_t>& bytes);

}  // namespace tablift::jet
