#include "data_access/jet/writer/index_key.h"

namespace tablift::jet {
namespace {

constexpr std::uint8_t kValueAscending = 0x7F;
constexpr std::uint8_t kNullAscending = 0x00;
constexpr std::uint8_t kTextEnd = 0x01;
constexpr std::uint8_t kTextExtrasEnd = 0x00;

// General sort order weights of the letters A-Z (either case) and the digits,
// as the engine writes them into its own indexes.
constexpr std::uint8_t kLetterWeights[26] = {0x4A, 0x4C, 0x4D, 0x4F, 0x51, 0x53, 0x55, 0x57, 0x59,
                                             0x5B, 0x5C, 0x5E, 0x60, 0x62, 0x64, 0x66, 0x68, 0x69,
                                             0x6B, 0x6D, 0x6F, 0x71, 0x73, 0x75, 0x76, 0x78};
constexpr std::uint8_t kFirstDigitWeight = 0x36;

// The field's little-endian bytes, most significant first.
ByteVector BigEndian(const ByteVector& little) {
  return ByteVector(little.rbegin(), little.rend());
}

bool AppendText(const ByteVector& utf16, ByteVector& out, std::string& problem) {
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const unsigned unit = LoadLe16(&utf16[i]);
    if (unit >= 'a' && unit <= 'z') {
      out.push_back(kLetterWeights[unit - 'a']);
    } else if (unit >= 'A' && unit <= 'Z') {
      out.push_back(kLetterWeights[unit - 'A']);
    } else if (unit >= '0' && unit <= '9') {
      out.push_back(static_cast<std::uint8_t>(kFirstDigitWeight + 2 * (unit - '0')));
    } else {
      problem = "only letters A-Z and digits can be indexed in text";
      return false;
    }
  }
  out.push_back(kTextEnd);
  out.push_back(kTextExtrasEnd);
  return true;
}

}  // namespace

bool AppendIndexKeyPart(const ColumnSlot& column, const EncodedField& field, bool ascending,
                        ByteVector& key, std::string& problem) {
  if (!field.present) {
    key.push_back(ascending ? kNullAscending : static_cast<std::uint8_t>(~kNullAscending));
    return true;
  }
  ByteVector value;
  switch (column.type) {
    case JetType::Byte:
      value = field.bytes;
      break;
    case JetType::Integer:
    case JetType::Long:
    case JetType::Currency:
      value = BigEndian(field.bytes);
      value[0] ^= 0x80;
      break;
    case JetType::Single:
    case JetType::Double:
    case JetType::DateTime:
      value = BigEndian(field.bytes);
      if ((value[0] & 0x80) != 0) {
        for (std::uint8_t& byte : value)
          byte = static_cast<std::uint8_t>(~byte);
      } else {
        value[0] ^= 0x80;
      }
      break;
    case JetType::Text:
      if (!AppendText(field.bytes, value, problem)) return false;
      break;
    default:
      problem = "this column type cannot be indexed";
      return false;
  }
  key.push_back(ascending ? kValueAscending : static_cast<std::uint8_t>(~kValueAscending));
  for (const std::uint8_t byte : value) {
    key.push_back(ascending ? byte : static_cast<std::uint8_t>(~byte));
  }
  return true;
}

}  // namespace tablift::jet
