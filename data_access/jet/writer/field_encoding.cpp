#include "data_access/jet/writer/field_encoding.h"

#include <cmath>
#include <limits>
#include <string>

#include "data_access/jet/writer/decimal_field.h"
#include "data_access/jet/writer/guid_field.h"
#include "data_access/jet/writer/jet4_page_format.h"
#include "data_access/jet/writer/jet4_text_encoding.h"

namespace tablift::jet {
namespace {

WriteStatus Refuse(const std::string& reason) {
  return WriteStatus::Failure(WriteError::InvalidValue, reason);
}

const char* KindOf(const Value& value) {
  switch (value.index()) {
    case 0:
      return "Null";
    case 1:
      return "a Yes/No value";
    case 2:
      return "an integer";
    case 3:
      return "a floating-point number";
    case 4:
      return "a Currency value";
    case 5:
      return "a Date/Time value";
    case 6:
      return "a Decimal value";
    case 7:
      return "text";
    case 8:
      return "a Replication ID";
    default:
      return "binary data";
  }
}

WriteStatus WrongKind(const Value& value, const char* expected) {
  return Refuse(std::string("cannot hold ") + KindOf(value) + "; it takes " + expected);
}

WriteStatus EncodeInteger(const Value& value, std::int64_t low, std::int64_t high,
                          std::size_t width, EncodedField& field) {
  const auto* number = std::get_if<std::int64_t>(&value);
  if (number == nullptr) return WrongKind(value, "an integer");
  if (*number < low || *number > high) {
    return Refuse(std::to_string(*number) + " is outside the range " + std::to_string(low) +
                  " to " + std::to_string(high));
  }
  field.bytes.assign(width, 0);
  for (std::size_t i = 0; i < width; ++i) {
    field.bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(*number) >> (8 * i));
  }
  return WriteStatus::Success();
}

// Single and Double take floating-point numbers and integers that they hold
// exactly; a value beyond the type's range or not a number is refused.
WriteStatus EncodeReal(const Value& value, bool single, EncodedField& field) {
  double number = 0;
  if (const auto* real = std::get_if<double>(&value)) {
    number = *real;
  } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
    number =
        single ? static_cast<double>(static_cast<float>(*integer)) : static_cast<double>(*integer);
    const bool exact = std::abs(number) < 9.2e18 && static_cast<std::int64_t>(number) == *integer;
    if (!exact) return Refuse(std::to_string(*integer) + " cannot be held exactly");
  } else {
    return WrongKind(value, "a number");
  }
  if (!std::isfinite(number)) return Refuse("infinite or undefined numbers cannot be stored");
  if (single) {
    if (std::abs(number) > std::numeric_limits<float>::max()) {
      return Refuse(std::to_string(number) + " is outside the range of a Single");
    }
    field.bytes.assign(4, 0);
    StoreLeFloat(field.bytes.data(), static_cast<float>(number));
  } else {
    field.bytes.assign(8, 0);
    StoreLeDouble(field.bytes.data(), number);
  }
  return WriteStatus::Success();
}

WriteStatus EncodeCurrency(const Value& value, EncodedField& field) {
  std::int64_t scaled = 0;
  if (const auto* currency = std::get_if<Currency>(&value)) {
    scaled = currency->scaled;
  } else if (const auto* whole = std::get_if<std::int64_t>(&value)) {
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10000;
    if (*whole > kLimit || *whole < -kLimit) {
      return Refuse(std::to_string(*whole) + " is outside the range of a Currency");
    }
    scaled = *whole * 10000;
  } else {
    return WrongKind(value, "a Currency value");
  }
  field.bytes.assign(8, 0);
  StoreLe64(field.bytes.data(), static_cast<std::uint64_t>(scaled));
  return WriteStatus::Success();
}

WriteStatus EncodeDateTime(const Value& value, EncodedField& field) {
  const auto* date = std::get_if<DateTime>(&value);
  if (date == nullptr) return WrongKind(value, "a Date/Time value");
  if (!std::isfinite(date->days)) return Refuse("the date is not a number");
  field.bytes.assign(8, 0);
  StoreLeDouble(field.bytes.data(), date->days);
  return WriteStatus::Success();
}

WriteStatus EncodeDecimal(const ColumnSlot& column, const Value& value, EncodedField& field) {
  std::string digits;
  if (const auto* decimal = std::get_if<Decimal>(&value)) {
    digits = decimal->digits;
  } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
    digits = std::to_string(*integer);
  } else {
    return WrongKind(value, "a Decimal value");
  }
  const std::string problem =
      EncodeDecimalDigits(digits, column.precision, column.scale, field.bytes);
  if (!problem.empty()) return Refuse(problem);
  return WriteStatus::Success();
}

WriteStatus EncodeGuid(const Value& value, EncodedField& field) {
  const auto* guid = std::get_if<Guid>(&value);
  if (guid == nullptr) return WrongKind(value, "a Replication ID");
  if (!EncodeGuidText(guid->text, field.bytes)) {
    return Refuse("\"" + guid->text + "\" is not a Replication ID");
  }
  return WriteStatus::Success();
}

WriteStatus EncodeText(const ColumnSlot& column, const Value& value, EncodedField& field) {
  const auto* text = std::get_if<std::string>(&value);
  if (text == nullptr) return WrongKind(value, "text");
  auto encoded = Utf8ToJet4Text(*text);
  if (!encoded) return Refuse("the text is not valid UTF-8");
  if (column.type == JetType::Text && encoded->size() / 2 > column.maxCharacters) {
    return Refuse("the text has " + std::to_string(encoded->size() / 2) +
                  " characters, more than the column's " + std::to_string(column.maxCharacters));
  }
  if (column.type == JetType::Memo && encoded->size() > jet4::kMaxLongValueLength) {
    return Refuse("the text is larger than 1 GB");
  }
  field.bytes = std::move(*encoded);
  return WriteStatus::Success();
}

WriteStatus EncodeBinary(const ColumnSlot& column, const Value& value, EncodedField& field) {
  const auto* bytes = std::get_if<Bytes>(&value);
  if (bytes == nullptr) return WrongKind(value, "binary data");
  if (column.type == JetType::Binary && bytes->data.size() > column.length) {
    return Refuse("the value has " + std::to_string(bytes->data.size()) +
                  " bytes, more than the column's " + std::to_string(column.length));
  }
  if (column.type == JetType::OleObject && bytes->data.size() > jet4::kMaxLongValueLength) {
    return Refuse("the value is larger than 1 GB");
  }
  field.bytes = bytes->data;
  return WriteStatus::Success();
}

}  // namespace

WriteStatus EncodeField(const ColumnSlot& column, const Value& value, EncodedField& field) {
  field = EncodedField{};
  if (column.type == JetType::Boolean) {
    const auto* flag = std::get_if<bool>(&value);
    if (flag == nullptr) return WrongKind(value, "Yes or No");
    field.present = *flag;
    return WriteStatus::Success();
  }
  if (IsNull(value)) {
    if (column.required) return Refuse("the column is required and cannot be Null");
    if (column.fixed) field.bytes.assign(column.length, 0);
    return WriteStatus::Success();
  }
  field.present = true;
  switch (column.type) {
    case JetType::Byte:
      return EncodeInteger(value, 0, 255, 1, field);
    case JetType::Integer:
      return EncodeInteger(value, std::numeric_limits<std::int16_t>::min(),
                           std::numeric_limits<std::int16_t>::max(), 2, field);
    case JetType::Long:
      return EncodeInteger(value, std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max(), 4, field);
    case JetType::Single:
      return EncodeReal(value, true, field);
    case JetType::Double:
      return EncodeReal(value, false, field);
    case JetType::Currency:
      return EncodeCurrency(value, field);
    case JetType::DateTime:
      return EncodeDateTime(value, field);
    case JetType::Decimal:
      return EncodeDecimal(column, value, field);
    case JetType::ReplicationId:
      return EncodeGuid(value, field);
    case JetType::Text:
    case JetType::Memo:
      return EncodeText(column, value, field);
    case JetType::Binary:
    case JetType::OleObject:
      return EncodeBinary(column, value, field);
    case JetType::Boolean:
    case JetType::Complex:
    case JetType::BigInt:
    case JetType::DateTimeExtended:
      break;
  }
  return Refuse("the column type is unknown");
}

}  // namespace tablift::jet
