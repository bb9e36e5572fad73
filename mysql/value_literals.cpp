#include "mysql/value_literals.h"

#include "mysql/sql_literals.h"

namespace tablift {
namespace {

bool IsIntegerType(std::uint16_t type) {
  switch (type) {
    case DBTYPE_I1:
    case DBTYPE_I2:
    case DBTYPE_I4:
    case DBTYPE_I8:
    case DBTYPE_UI1:
    case DBTYPE_UI2:
    case DBTYPE_UI4:
    case DBTYPE_UI8:
      return true;
    default:
      return false;
  }
}

bool IsNumericType(std::uint16_t type) {
  switch (type) {
    case DBTYPE_R4:
    case DBTYPE_R8:
    case DBTYPE_CY:
    case DBTYPE_DECIMAL:
    case DBTYPE_NUMERIC:
    case DBTYPE_BOOL:
      return true;
    default:
      return IsIntegerType(type);
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
  std::string literal;
  AppendValueLiteral(columnType, value, literal);
  return literal;
}

void AppendValueLiteral(std::uint16_t columnType, const ColumnValue& value, std::string& out) {
  if (value.null) {
    out += "NULL";
  } else if (columnType == DBTYPE_BYTES && IsHexText(value.text)) {
    out += HexLiteral(value.text);
  } else if (columnType == DBTYPE_BOOL && (value.text == "True" || value.text == "False")) {
    out += value.text == "True" ? '1' : '0';
  } else if (IsNumericType(columnType) && IsNumberText(value.text)) {
    out += value.text;
  } else {
    AppendStringLiteral(value.text, out);
  }
}

void ValueParameter(std::uint16_t columnType, const ColumnValue& value, ParameterValue& parameter) {
  parameter.data.clear();
  if (value.null) {
    parameter.kind = ParameterValue::Kind::Null;
  } else if (columnType == DBTYPE_BYTES && IsHexText(value.text)) {
    parameter.kind = ParameterValue::Kind::Bytes;
    for (std::size_t i = 0; i + 1 < value.text.size(); i += 2) {
      parameter.data +=
          static_cast<char>(HexValue(value.text[i]) * 16 + HexValue(value.text[i + 1]));
    }
  } else if (columnType == DBTYPE_BOOL && (value.text == "True" || value.text == "False")) {
    parameter.kind = ParameterValue::Kind::Integer;
    parameter.data += value.text == "True" ? '1' : '0';
  } else {
    parameter.data += value.text;
    if (IsIntegerType(columnType) && IsParameterInteger(value.text)) {
      parameter.kind = ParameterValue::Kind::Integer;
    } else if ((columnType == DBTYPE_DATE || columnType == DBTYPE_DBTIMESTAMP) &&
               IsParameterDateTime(value.text)) {
      parameter.kind = ParameterValue::Kind::DateTime;
    } else {
      parameter.kind = ParameterValue::Kind::Text;
    }
  }
}

}  // namespace tablift
