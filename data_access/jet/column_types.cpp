#include "data_access/jet/column_types.h"

namespace tablift::jet {
namespace {

// The COLUMN_FLAGS values of DESIGN.md, by kind of column.
constexpr std::uint32_t kFixedRequired = 90;      // 0x5A
constexpr std::uint32_t kFixedNullable = 122;     // 0x7A
constexpr std::uint32_t kAutoNumber = 24;         // 0x18
constexpr std::uint32_t kVariableRequired = 74;   // 0x4A
constexpr std::uint32_t kVariableNullable = 106;  // 0x6A
constexpr std::uint32_t kLongRequired = 202;      // 0xCA
constexpr std::uint32_t kLongNullable = 234;      // 0xEA

std::optional<std::uint16_t> PrecisionOf(JetType type, std::uint8_t declared) {
  switch (type) {
    case JetType::Byte:
      return 3;
    case JetType::Integer:
      return 5;
    case JetType::Long:
      return 10;
    case JetType::Single:
      return 7;
    case JetType::Double:
      return 15;
    case JetType::Currency:
    case JetType::BigInt:
      return 19;
    case JetType::Decimal:
      return declared;
    default:
      return std::nullopt;
  }
}

}  // namespace

std::uint16_t OleDbTypeOf(JetType type) {
  switch (type) {
    case JetType::Boolean:
      return DBTYPE_BOOL;
    case JetType::Byte:
      return DBTYPE_UI1;
    case JetType::Integer:
      return DBTYPE_I2;
    case JetType::Long:
      return DBTYPE_I4;
    case JetType::Currency:
      return DBTYPE_CY;
    case JetType::Single:
      return DBTYPE_R4;
    case JetType::Double:
      return DBTYPE_R8;
    case JetType::DateTime:
      return DBTYPE_DATE;
    case JetType::ReplicationId:
      return DBTYPE_GUID;
    case JetType::Decimal:
      return DBTYPE_NUMERIC;
    case JetType::Text:
    case JetType::Memo:
      return DBTYPE_WSTR;
    case JetType::Binary:
    case JetType::OleObject:
      return DBTYPE_BYTES;
    case JetType::BigInt:
      return DBTYPE_I8;
    case JetType::DateTimeExtended:
      return DBTYPE_DBTIMESTAMP;
    case JetType::Complex:
      return DBTYPE_I4;
  }
  return DBTYPE_BYTES;
}

OleDbColumnType DescribeColumnType(JetType type, std::uint32_t length, std::uint8_t precision,
                                   std::uint8_t scale, bool required, bool autoNumber) {
  OleDbColumnType described;
  described.dataType = OleDbTypeOf(type);
  described.nullable = !required;
  switch (type) {
    case JetType::Boolean:
      described.flags = kFixedRequired;
      described.nullable = false;
      break;
    case JetType::Text:
    case JetType::Binary:
      described.flags = required ? kVariableRequired : kVariableNullable;
      described.characterMaximumLength = length;
      described.characterOctetLength = type == JetType::Text ? length * 2 : length;
      break;
    case JetType::Memo:
    case JetType::OleObject:
      described.flags = required ? kLongRequired : kLongNullable;
      described.characterMaximumLength = 0;
      described.characterOctetLength = 0;
      break;
    default:
      if (type == JetType::Long && autoNumber) {
        described.flags = kAutoNumber;
        described.nullable = false;
      } else {
        described.flags = required ? kFixedRequired : kFixedNullable;
      }
      break;
  }
  described.numericPrecision = PrecisionOf(type, precision);
  if (type == JetType::Decimal) described.numericScale = scale;
  if (type == JetType::DateTime) described.datetimePrecision = 0;
  // Seven digits of fractions of a second: 100-nanosecond steps.
  if (type == JetType::DateTimeExtended) described.datetimePrecision = 7;
  return described;
}

std::uint32_t DeclaredLength(const ColumnDefinition& column, JetVersion version) {
  if (column.type == JetType::Text) {
    return version == JetVersion::Jet4 ? column.storedSize / 2 : column.storedSize;
  }
  if (column.type == JetType::Binary) return column.storedSize;
  return 0;
}

}  // namespace tablift::jet
