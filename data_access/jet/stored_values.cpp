#include "data_access/jet/stored_values.h"

#include <algorithm>

namespace tablift::jet {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, std::uint8_t byte) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

}  // namespace

std::string GuidText(std::span<const std::uint8_t, 16> stored) {
  static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string text = "{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    AppendHex(text, stored[kOrder[i]]);
  }
  text += '}';
  return text;
}

std::string DecimalDigits(std::span<const std::uint8_t, 17> stored, unsigned scale) {
  unsigned __int128 magnitude = 0;
  for (int word = 0; word < 4; ++word) {
    std::uint32_t value = 0;
    for (int byte = 0; byte < 4; ++byte)
      value |= static_cast<std::uint32_t>(stored[1 + word * 4 + byte]) << (8 * byte);
    magnitude = (magnitude << 32) | value;
  }
  std::string digits;
  do {
    digits += static_cast<char>('0' + static_cast<int>(magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  scale = std::min(scale, 38u);
  while (digits.size() <= scale)
    digits += '0';
  std::reverse(digits.begin(), digits.end());
  if (scale > 0) digits.insert(digits.size() - scale, 1, '.');
  const bool zero = digits.find_first_not_of("0.") == std::string::npos;
  if ((stored[0] & 0x80) != 0 && !zero) digits.insert(0, 1, '-');
  return digits;
}

}  // namespace tablift::jet
