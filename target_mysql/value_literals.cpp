#include "target_mysql/value_literals.h"

#include "target_mysql/sql_literals.h"

namespace tablift {
namespace {

bool IsNumericType(std::uint16_t type) {
  switch (type) {
    case DBTYPE_I1:
    case DBTYPE_I2:
    case DBTYPE_I4:
    case DBTYPE_I8:
    case DBTYPE_UI1:
    case DBTYPE_UI2:
    case DBTYPE_UI4:
    case DBTYPE_UI8:
    case DBTYPE_R4:
    case DBTYPE_R8:
    case DBTYPE_CY:
    case DBTYPE_DECIMAL:
    case DBTYPE_NUMERIC:
    case DBTYPE_BOOL:
      return true;
    default:
      return false;
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsHexText(std::string_view text) {
  if (text.size() % 2 != 0) return false;
  for (const char c : text) {
    if (!IsDigit(c) && !(c >= 'A' && c <= 'F') && !(c >= 'a' && c <= 'f')) return false;
  }
  return true;
}

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

}  // namespace

bool IsNumberText(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::size_t exponent = 0;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      ++exponent;
    }
    if (exponent == 0) return false;
  }
  return i == text.size();
}

std::string ValueLiteral(std::uint16_t columnType, const ColumnValue& value) {
  if (value.null) return "NULL";
  if (columnType == DBTYPE_BYTES && IsHexText(value.text)) return HexLiteral(value.text);
  if (columnType == DBTYPE_BOOL) {
    if (value.text == "True") return "1";
    if (value.text == "False") return "0";
  }
  if (IsNumericType(columnType) && IsNumberText(value.text)) return value.text;
  return StringLiteral(value.text);
}

ParameterValue ValueParameter(std::uint16_t columnType, const ColumnValue& value) {
  ParameterValue parameter;
  if (value.null) return parameter;
  if (columnType == DBTYPE_BYTES && IsHexText(value.text)) {
    parameter.kind = ParameterValue::Kind::Bytes;
    parameter.data.reserve(value.text.size() / 2);
    for (std::size_t i = 0; i + 1 < value.text.size(); i += 2) {
      parameter.data +=
          static_cast<char>(HexValue(value.text[i]) * 16 + HexValue(value.text[i + 1]));
    }
    return parameter;
  }
  parameter.kind = ParameterValue::Kind::Text;
  if (columnType == DBTYPE_BOOL && (value.text == "True" || value.text == "False")) {
    parameter.data.assign(1, value.text == "True" ? '1' : '0');
    return parameter;
  }
  parameter.data = value.text;
  return parameter;
}

}  // namespace tablift
