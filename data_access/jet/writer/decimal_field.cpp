#include "data_access/jet/writer/decimal_field.h"

namespace tablift::jet {

std::string EncodeDecimalDigits(std::string_view digits, std::uint8_t precision, std::uint8_t scale,
                                ByteVector& bytes) {
  std::string_view rest = digits;
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  const std::size_t point = rest.find('.');
  std::string_view whole = rest.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? "" : rest.substr(point + 1);
  const auto allDigits = [](std::string_view text) {
    for (const char c : text) {
      if (c < '0' || c > '9') return false;
    }
    return true;
  };
  if ((whole.empty() && fraction.empty()) || !allDigits(whole) || !allDigits(fraction)) {
    return "\"" + std::string(digits) + "\" is not a decimal number";
  }
  while (fraction.size() > scale && fraction.back() == '0')
    fraction.remove_suffix(1);
  if (fraction.size() > scale) {
    return std::string(digits) + " has more than " + std::to_string(scale) + " decimals";
  }
  while (!whole.empty() && whole.front() == '0')
    whole.remove_prefix(1);
  if (whole.size() + scale > precision) {
    return std::string(digits) + " has more than " + std::to_string(precision) + " digits";
  }

  unsigned __int128 unscaled = 0;
  for (const char c : whole)
    unscaled = unscaled * 10 + static_cast<unsigned>(c - '0');
  for (std::size_t i = 0; i < scale; ++i) {
    unscaled = unscaled * 10 + (i < fraction.size() ? static_cast<unsigned>(fraction[i] - '0') : 0);
  }

  bytes.assign(17, 0);
  bytes[0] = negative && unscaled != 0 ? 0x80 : 0x00;
  for (int group = 0; group < 4; ++group) {
    const auto value = static_cast<std::uint32_t>(unscaled >> (32 * (3 - group)));
    StoreLe32(&bytes[1 + 4 * static_cast<std::size_t>(group)], value);
  }
  return {};
}

}  // namespace tablift::jet
