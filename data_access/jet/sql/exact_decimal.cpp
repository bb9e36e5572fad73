#include "data_access/jet/sql/exact_decimal.h"

#include <charconv>
#include <cmath>

namespace tablift::jet {
namespace {

constexpr int kMaxDigits = 38;

__int128 PowerOfTen(int exponent) {
  __int128 result = 1;
  for (int i = 0; i < exponent; ++i)
    result *= 10;
  return result;
}

// 128 bits hold a little more than 38 digits; results are kept to 38 so
// that every value formats to digits that parse back.
const __int128 kDigitsLimit = PowerOfTen(kMaxDigits);

bool WithinDigits(__int128 value) {
  return value < kDigitsLimit && value > -kDigitsLimit;
}

bool MultiplyChecked(__int128 a, __int128 b, __int128& result) {
  return !__builtin_mul_overflow(a, b, &result) && WithinDigits(result);
}

// Divides by 10^digits, rounding half to even.
__int128 DivideRounded(__int128 value, int digits) {
  if (digits <= 0) return value;
  if (digits > kMaxDigits) return 0;
  const __int128 divisor = PowerOfTen(digits);
  __int128 quotient = value / divisor;
  const __int128 remainder = value % divisor;
  const __int128 twice = (remainder < 0 ? -remainder : remainder) * 2;
  if (twice > divisor || (twice == divisor && (quotient % 2 != 0))) {
    quotient += value < 0 ? -1 : 1;
  }
  return quotient;
}

bool AlignScales(ExactDecimal& a, ExactDecimal& b) {
  if (a.scale == b.scale) return true;
  ExactDecimal& smaller = a.scale < b.scale ? a : b;
  const int target = a.scale < b.scale ? b.scale : a.scale;
  return RescaleDecimal(smaller, target);
}

}  // namespace

std::optional<ExactDecimal> ParseExactDecimal(std::string_view text) {
  std::size_t i = 0;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (i < text.size() && blank(text[i]))
    ++i;
  std::size_t end = text.size();
  while (end > i && blank(text[end - 1]))
    --end;
  text = text.substr(i, end - i);
  i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  __int128 unscaled = 0;
  int scale = 0;
  int digits = 0;
  bool anyDigit = false;
  bool afterPoint = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (digits == 0 && c == '0') {
        if (afterPoint) ++scale;
        continue;
      }
      if (++digits > kMaxDigits) return std::nullopt;
      unscaled = unscaled * 10 + (c - '0');
      if (afterPoint) ++scale;
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return std::nullopt;
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    if (i >= text.size()) return std::nullopt;
    int exponent = 0;
    for (; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9' || exponent > 1000) return std::nullopt;
      exponent = exponent * 10 + (text[i] - '0');
    }
    scale += negativeExponent ? exponent : -exponent;
  }
  ExactDecimal value{negative ? -unscaled : unscaled, 0};
  if (scale < 0) {
    if (digits - scale > kMaxDigits) return std::nullopt;
    value.unscaled *= PowerOfTen(-scale);
    scale = 0;
  }
  value.scale = scale;
  if (value.scale > kMaxDigits && !RescaleDecimal(value, kMaxDigits)) return std::nullopt;
  return value;
}

std::string FormatExactDecimal(const ExactDecimal& value) {
  const bool negative = value.unscaled < 0;
  unsigned __int128 magnitude = negative ? static_cast<unsigned __int128>(-(value.unscaled + 1)) + 1
                                         : static_cast<unsigned __int128>(value.unscaled);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  if (value.scale > 0) {
    const std::size_t scale = static_cast<std::size_t>(value.scale);
    if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
    digits.insert(digits.size() - scale, ".");
  }
  if (negative) digits.insert(digits.begin(), '-');
  return digits;
}

std::string FormatExactDecimalTrimmed(const ExactDecimal& value) {
  std::string text = FormatExactDecimal(value);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0')
      text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

ExactDecimal DecimalFromInteger(std::int64_t value) {
  return ExactDecimal{value, 0};
}

std::string FormatDoubleDigits(double value) {
  char buffer[64];
  const std::to_chars_result written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, written.ptr);
}

std::optional<double> ParseDouble(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const std::from_chars_result read =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (read.ec != std::errc() || read.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<ExactDecimal> DecimalFromDouble(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  return ParseExactDecimal(FormatDoubleDigits(value));
}

double DecimalToDouble(const ExactDecimal& value) {
  return ParseDouble(FormatExactDecimal(value)).value_or(0);
}

bool RescaleDecimal(ExactDecimal& value, int scale) {
  if (scale == value.scale) return true;
  if (scale > value.scale) {
    const int grow = scale - value.scale;
    if (grow > kMaxDigits) return value.unscaled == 0 ? (value.scale = scale, true) : false;
    __int128 result = 0;
    if (!MultiplyChecked(value.unscaled, PowerOfTen(grow), result)) return false;
    value = ExactDecimal{result, scale};
    return true;
  }
  value = ExactDecimal{DivideRounded(value.unscaled, value.scale - scale), scale};
  return true;
}

bool DecimalToInteger(const ExactDecimal& value, std::int64_t& result) {
  ExactDecimal whole = value;
  if (!RescaleDecimal(whole, 0)) return false;
  if (whole.unscaled > INT64_MAX || whole.unscaled < INT64_MIN) return false;
  result = static_cast<std::int64_t>(whole.unscaled);
  return true;
}

std::optional<ExactDecimal> AddDecimals(const ExactDecimal& a, const ExactDecimal& b) {
  ExactDecimal x = a, y = b;
  if (!AlignScales(x, y)) return std::nullopt;
  __int128 sum = 0;
  if (__builtin_add_overflow(x.unscaled, y.unscaled, &sum) || !WithinDigits(sum)) {
    return std::nullopt;
  }
  return ExactDecimal{sum, x.scale};
}

std::optional<ExactDecimal> SubtractDecimals(const ExactDecimal& a, const ExactDecimal& b) {
  ExactDecimal x = a, y = b;
  if (!AlignScales(x, y)) return std::nullopt;
  __int128 difference = 0;
  if (__builtin_sub_overflow(x.unscaled, y.unscaled, &difference) || !WithinDigits(difference)) {
    return std::nullopt;
  }
  return ExactDecimal{difference, x.scale};
}

std::optional<ExactDecimal> MultiplyDecimals(const ExactDecimal& a, const ExactDecimal& b) {
  __int128 product = 0;
  if (!MultiplyChecked(a.unscaled, b.unscaled, product)) return std::nullopt;
  ExactDecimal result{product, a.scale + b.scale};
  if (result.scale > kMaxDecimalScale) RescaleDecimal(result, kMaxDecimalScale);
  return result;
}

int CompareDecimals(const ExactDecimal& a, const ExactDecimal& b) {
  ExactDecimal x = a, y = b;
  if (!AlignScales(x, y)) {
    // Only a value too large to scale up can fail, and it is the larger one
    // in magnitude.
    const long double dx = DecimalToDouble(a), dy = DecimalToDouble(b);
    return dx < dy ? -1 : (dx > dy ? 1 : 0);
  }
  return x.unscaled < y.unscaled ? -1 : (x.unscaled > y.unscaled ? 1 : 0);
}

}  // namespace tablift::jet
