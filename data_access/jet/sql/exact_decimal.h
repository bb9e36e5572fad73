#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tablift::jet {

// An exact decimal number for Currency and Decimal arithmetic: unscaled
// digits and the count of them after the point. 128 bits hold Access's 28
// digits with room for the intermediate results of multiplication.
struct ExactDecimal {
  __int128 unscaled = 0;
  int scale = 0;
};

constexpr int kMaxDecimalScale = 28;

// "-123.4500", "1e3", "  +.5 ": an optional sign, digits with an optional
// point and an optional exponent. Empty when the text is not such a number or
// does not fit.
std::optional<ExactDecimal> ParseExactDecimal(std::string_view text);

// The digits with exactly `scale` digits after the point ("-1.50"), the form
// Decimal values carry.
std::string FormatExactDecimal(const ExactDecimal& value);
// The shortest form: trailing zeros after the point dropped ("-1.5", "2").
std::string FormatExactDecimalTrimmed(const ExactDecimal& value);

ExactDecimal DecimalFromInteger(std::int64_t value);
// Through the 15 significant digits a Double holds, as Access converts it, so
// 0.1 becomes exactly 0.1. Empty for infinities and NaN or when too large.
std::optional<ExactDecimal> DecimalFromDouble(double value);
double DecimalToDouble(const ExactDecimal& value);

// A Double's 15 significant digits in C notation ("0.1", "1e+20"), and the
// nearest Double of a decimal text. Independent of the C locale, which the
// desktop program sets from the environment (a German locale would write
// "0,1").
std::string FormatDoubleDigits(double value);
std::optional<double> ParseDouble(std::string_view text);

// Changes the scale, rounding half to even when digits are dropped (banker's
// rounding, as Access rounds). False when the result does not fit.
bool RescaleDecimal(ExactDecimal& value, int scale);

// Rounds half to even to an integer; false when it does not fit 64 bits.
bool DecimalToInteger(const ExactDecimal& value, std::int64_t& result);

std::optional<ExactDecimal> AddDecimals(const ExactDecimal& a, const ExactDecimal& b);
std::optional<ExactDecimal> SubtractDecimals(const ExactDecimal& a, const ExactDecimal& b);
// The scale of the product is the sum of the scales, cut back to 28 digits.
std::optional<ExactDecimal> MultiplyDecimals(const ExactDecimal& a, const ExactDecimal& b);

int CompareDecimals(const ExactDecimal& a, const ExactDecimal& b);

}  // namespace tablift::jet
