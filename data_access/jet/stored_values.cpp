#include "data_access/jet/stored_values.h"

#include <algorithm>

namespace tablift::jet {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, std::uint8_t byte) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

// Digits only, as a number; nothing for anything else.
std::optional<std::uint64_t> DigitsValue(std::span<const std::uint8_t> text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const std::uint8_t c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

void AppendNumber(std::string& out, std::uint64_t value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width)
    out.append(static_cast<std::size_t>(width) - digits.size(), '0');
  out += digits;
}

}  // namespace

std::optional<std::string> ExtendedDateTimeText(std::span<const std::uint8_t> stored) {
  constexpr std::size_t kDays = 19;
  constexpr std::size_t kSeconds = 12;
  constexpr std::size_t kTicks = 7;
  constexpr std::uint64_t kLastDay = 3652058;  // 9999-12-31
  if (stored.size() < kDays + 1 + kSeconds + kTicks || stored[kDays] != ':') return std::nullopt;
  const auto days = DigitsValue(stored.subspan(0, kDays));
  const auto seconds = DigitsValue(stored.subspan(kDays + 1, kSeconds));
  const auto ticks = DigitsValue(stored.subspan(kDays + 1 + kSeconds, kTicks));
  if (!days || !seconds || !ticks || *days > kLastDay || *seconds >= 86400) return std::nullopt;
  // The civil date of a day count (proleptic Gregorian calendar, counted in
  // 400-year eras from 0000-03-01).
  const std::uint64_t z = *days + 306;  // 0001-01-01 is day 306 after 0000-03-01
  const std::uint64_t era = z / 146097;
  const std::uint64_t dayOfEra = z - era * 146097;
  const std::uint64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::uint64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const std::uint64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const std::uint64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  const std::uint64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  std::string text;
  AppendNumber(text, year, 4);
  text += '-';
  AppendNumber(text, month, 2);
  text += '-';
  AppendNumber(text, day, 2);
  text += ' ';
  AppendNumber(text, *seconds / 3600, 2);
  text += ':';
  AppendNumber(text, *seconds / 60 % 60, 2);
  text += ':';
  AppendNumber(text, *seconds % 60, 2);
  text += '.';
  AppendNumber(text, *ticks, 7);
  return text;
}

std::optional<std::span<const std::uint8_t>> CalculatedValueBytes(
    std::span<const std::uint8_t> stored) {
  constexpr std::size_t kHeader = 16;
  constexpr std::size_t kData = kHeader + 4;
  if (stored.size() < kData) return std::nullopt;
  const std::size_t length = static_cast<std::size_t>(stored[kHeader]) |
                             (static_cast<std::size_t>(stored[kHeader + 1]) << 8) |
                             (static_cast<std::size_t>(stored[kHeader + 2]) << 16) |
                             (static_cast<std::size_t>(stored[kHeader + 3]) << 24);
  return stored.subspan(kData, std::min(length, stored.size() - kData));
}

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
