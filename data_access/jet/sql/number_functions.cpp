// Number and conversion functions: Abs, Sgn, Int, Fix, Round, Sqr, Exp, Log,
// Sin, Cos, Tan, Atn; CStr, CLng, CInt, CByte, CDbl, CSng, CCur, CDec, CDate,
// CBool, CVar, CVDate, Val, Str, Hex, Oct, Partition. Rounding to whole
// numbers is half to even (banker's rounding) throughout, as in Access:
// CLng(2.5) = 2, Round(3.5) = 4.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "data_access/jet/sql/builtin_functions.h"
#include "data_access/jet/sql/exact_decimal.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

[[noreturn]] void Overflow() {
  throw EvaluationError("Overflow");
}

Value Checked(double value) {
  if (!std::isfinite(value)) Overflow();
  return value;
}

// The argument as a number of its own kind (text and True/False become
// numbers; dates stay dates).
Value NumberArgument(ArgumentList& a, std::size_t index) {
  const Value v = a.evaluate(index);
  if (IsNull(v) || std::holds_alternative<DateTime>(v)) return v;
  return ToArithmetic(v);
}

// Whole numbers of an exact decimal: toward minus infinity or toward zero.
ExactDecimal WholePart(ExactDecimal value, bool floor) {
  if (value.scale <= 0) return value;
  __int128 divisor = 1;
  for (int i = 0; i < value.scale; ++i)
    divisor *= 10;
  __int128 quotient = value.unscaled / divisor;
  if (floor && value.unscaled < 0 && value.unscaled % divisor != 0) --quotient;
  return ExactDecimal{quotient, 0};
}

Value WholeNumber(ArgumentList& a, bool floor) {
  const Value v = NumberArgument(a, 0);
  const auto whole = [floor](double d) { return floor ? std::floor(d) : std::trunc(d); };
  if (IsNull(v) || std::holds_alternative<std::int64_t>(v)) return v;
  if (const auto* d = std::get_if<double>(&v)) return whole(*d);
  if (const auto* date = std::get_if<DateTime>(&v)) return DateTime{whole(date->days)};
  if (const auto* c = std::get_if<Currency>(&v)) {
    ExactDecimal w = WholePart(ExactDecimal{c->scaled, 4}, floor);
    RescaleDecimal(w, 4);
    return Currency{static_cast<std::int64_t>(w.unscaled)};
  }
  ExactDecimal w = WholePart(ToExactDecimal(v), floor);
  return DecimalValue(w);
}

Value Int(ArgumentList& a) {
  return WholeNumber(a, true);
}
Value Fix(ArgumentList& a) {
  return WholeNumber(a, false);
}

Value Abs(ArgumentList& a) {
  const Value v = NumberArgument(a, 0);
  if (IsNull(v)) return v;
  if (const auto* i = std::get_if<std::int64_t>(&v)) {
    if (*i == INT64_MIN) Overflow();
    return *i < 0 ? -*i : *i;
  }
  if (const auto* d = std::get_if<double>(&v)) return std::fabs(*d);
  if (const auto* date = std::get_if<DateTime>(&v)) return DateTime{std::fabs(date->days)};
  if (const auto* c = std::get_if<Currency>(&v)) {
    if (c->scaled == INT64_MIN) Overflow();
    return Currency{c->scaled < 0 ? -c->scaled : c->scaled};
  }
  ExactDecimal exact = ToExactDecimal(v);
  if (exact.unscaled < 0) exact.unscaled = -exact.unscaled;
  return DecimalValue(exact);
}

Value Sgn(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return v;
  const double d = ToDouble(v);
  return std::int64_t{d > 0 ? 1 : (d < 0 ? -1 : 0)};
}

// Round(x[, digits]): half to even on the decimal digits of x as Access sees
// them (15 significant digits for a Double), so Round(2.675, 2) is 2.68 even
// though the nearest Double is slightly below 2.675.
Value Round(ArgumentList& a) {
  const Value v = NumberArgument(a, 0);
  const std::int64_t digits = a.size() > 1 ? IntegerArgument(a, 1) : 0;
  if (digits < 0 || digits > 22) InvalidArgument();
  if (IsNull(v) || std::holds_alternative<std::int64_t>(v)) return v;
  const int scale = static_cast<int>(digits);
  if (const auto* c = std::get_if<Currency>(&v)) {
    if (scale >= 4) return v;
    ExactDecimal exact{c->scaled, 4};
    RescaleDecimal(exact, scale);
    RescaleDecimal(exact, 4);
    return Currency{static_cast<std::int64_t>(exact.unscaled)};
  }
  if (const auto* d = std::get_if<Decimal>(&v)) {
    ExactDecimal exact = ToExactDecimal(*d);
    if (exact.scale > scale) RescaleDecimal(exact, scale);
    return DecimalValue(exact);
  }
  const bool isDate = std::holds_alternative<DateTime>(v);
  const double d = isDate ? std::get<DateTime>(v).days : std::get<double>(v);
  double rounded = d;
  if (std::fabs(d) < 1e15) {
    std::optional<ExactDecimal> exact = DecimalFromDouble(d);
    if (exact && exact->scale > scale) {
      RescaleDecimal(*exact, scale);
      rounded = DecimalToDouble(*exact);
    }
  }
  return isDate ? Value(DateTime{rounded}) : Value(rounded);
}

Value RealFunction(ArgumentList& a, double (*f)(double), bool positiveOnly, bool nonNegative) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return v;
  const double d = ToDouble(v);
  if ((positiveOnly && d <= 0) || (nonNegative && d < 0)) InvalidArgument();
  return Checked(f(d));
}

Value Sqr(ArgumentList& a) {
  return RealFunction(a, std::sqrt, false, true);
}
Value Exp(ArgumentList& a) {
  return RealFunction(a, std::exp, false, false);
}
Value Log(ArgumentList& a) {
  return RealFunction(a, std::log, true, false);
}
Value Sin(ArgumentList& a) {
  return RealFunction(a, std::sin, false, false);
}
Value Cos(ArgumentList& a) {
  return RealFunction(a, std::cos, false, false);
}
Value Tan(ArgumentList& a) {
  return RealFunction(a, std::tan, false, false);
}
Value Atn(ArgumentList& a) {
  return RealFunction(a, std::atan, false, false);
}

// Conversions reject Null ("Invalid use of Null"), as in Access.
Value NonNull(ArgumentList& a) {
  Value v = a.evaluate(0);
  if (IsNull(v)) throw EvaluationError("Invalid use of Null");
  return v;
}

Value CStr(ArgumentList& a) {
  return TextOf(NonNull(a));
}
Value CLng(ArgumentList& a) {
  return CheckedInteger(ToInteger(NonNull(a)), INT32_MIN, INT32_MAX);
}
Value CInt(ArgumentList& a) {
  return CheckedInteger(ToInteger(NonNull(a)), INT16_MIN, INT16_MAX);
}
Value CByte(ArgumentList& a) {
  return CheckedInteger(ToInteger(NonNull(a)), 0, 255);
}
Value CDbl(ArgumentList& a) {
  return ToDouble(NonNull(a));
}
Value CSng(ArgumentList& a) {
  const double d = ToDouble(NonNull(a));
  if (std::fabs(d) > FLT_MAX) Overflow();
  return static_cast<double>(static_cast<float>(d));
}
Value CCur(ArgumentList& a) {
  return ToCurrency(NonNull(a));
}
Value CDec(ArgumentList& a) {
  return DecimalValue(ToExactDecimal(NonNull(a)));
}
Value CDate(ArgumentList& a) {
  return DateTime{ToDateSerial(NonNull(a))};
}
Value CBool(ArgumentList& a) {
  return *TruthOf(NonNull(a));
}
Value CVar(ArgumentList& a) {
  return a.evaluate(0);
}

// Val(text): the number at the start of the text, blanks anywhere ignored,
// 0 when there is none; &H and &O prefixes read hexadecimal and octal.
Value Val(ArgumentList& a) {
  const std::string text = TextOf(NonNull(a));
  std::string digits;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') digits.push_back(c);
  }
  if (digits.size() > 2 && digits[0] == '&' &&
      (digits[1] == 'H' || digits[1] == 'h' || digits[1] == 'O' || digits[1] == 'o')) {
    const int base = (digits[1] == 'H' || digits[1] == 'h') ? 16 : 8;
    std::int64_t value = 0;
    for (std::size_t i = 2; i < digits.size() && i < 18; ++i) {
      const char c = digits[i];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0 || digit >= base) break;
      value = value * base + digit;
    }
    return static_cast<double>(value);
  }
  std::size_t i = 0;
  if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) ++i;
  bool point = false;
  while (i < digits.size() &&
         ((digits[i] >= '0' && digits[i] <= '9') || (digits[i] == '.' && !point))) {
    point = point || digits[i] == '.';
    ++i;
  }
  if (i < digits.size() &&
      (digits[i] == 'e' || digits[i] == 'E' || digits[i] == 'd' || digits[i] == 'D')) {
    std::size_t j = i + 1;
    if (j < digits.size() && (digits[j] == '+' || digits[j] == '-')) ++j;
    if (j < digits.size() && digits[j] >= '0' && digits[j] <= '9') {
      digits[i] = 'e';
      i = j;
      while (i < digits.size() && digits[i] >= '0' && digits[i] <= '9')
        ++i;
    }
  }
  const std::string number = digits.substr(0, i);
  const std::optional<Value> parsed = NumberFromText(number);
  return parsed ? Checked(ToDouble(*parsed)) : Value(0.0);
}

// Str(number): a leading blank stands for the plus sign.
Value Str(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return v;
  const std::string text = TextOf(ToArithmetic(v));
  return text[0] == '-' ? text : " " + text;
}

Value InBase(ArgumentList& a, const char* format) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return v;
  std::int64_t n = ToInteger(v);
  // Negative numbers show their 16- or 32-bit two's complement.
  if (n < 0 && n >= INT16_MIN) n &= 0xFFFF;
  if (n < 0 && n >= INT32_MIN) n &= 0xFFFFFFFF;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned long long>(n));
  return std::string(buffer);
}

Value Hex(ArgumentList& a) {
  return InBase(a, "%llX");
}
Value Oct(ArgumentList& a) {
  return InBase(a, "%llo");
}

ExprType SameNumberType(const std::vector<ExprType>& arguments) {
  const ExprType& t = arguments[0];
  if (!t.type) return t;
  switch (*t.type) {
    case JetType::Currency:
    case JetType::Decimal:
    case JetType::DateTime:
      return t;
    case JetType::Single:
    case JetType::Double:
    case JetType::Text:
    case JetType::Memo:
      return TypeOf(JetType::Double);
    default:
      return TypeOf(JetType::Long);
  }
}

ExprType DecimalResult(const std::vector<ExprType>& arguments) {
  ExprType t = TypeOf(JetType::Decimal);
  t.precision = 28;
  if (arguments[0].type == JetType::Decimal) t.scale = arguments[0].scale;
  if (arguments[0].type == JetType::Currency) t.scale = 4;
  return t;
}

ExprType SameType(const std::vector<ExprType>& arguments) {
  return arguments[0];
}

// Partition(number, start, stop, interval): the range of the series start,
// start + interval, ... that holds the number, as "lower:upper", each side
// padded with blanks to the length of stop plus one; "   : -1"-like below
// start and "101:   "-like above stop.
Value Partition(ArgumentList& a) {
  const Value number = a.evaluate(0);
  const std::int64_t start = IntegerArgument(a, 1);
  const std::int64_t stop = IntegerArgument(a, 2);
  const std::int64_t interval = IntegerArgument(a, 3);
  if (start < 0 || stop <= start || interval < 1) InvalidArgument();
  if (IsNull(number)) return Null{};
  const std::int64_t n = ToInteger(number);
  const std::size_t width = std::to_string(stop).size() + 1;
  const auto side = [width](const std::string& text) {
    return std::string(text.size() < width ? width - text.size() : 0, ' ') + text;
  };
  if (n < start) return side("") + ":" + side(std::to_string(start - 1));
  if (n > stop) return side(std::to_string(stop + 1)) + ":" + side("");
  const std::int64_t lower = start + (n - start) / interval * interval;
  const std::int64_t upper = std::min(lower + interval - 1, stop);
  return side(std::to_string(lower)) + ":" + side(std::to_string(upper));
}

constexpr FunctionDef kNumberFunctions[] = {
    {"Abs", 1, 1, Abs, SameNumberType},
    {"Sgn", 1, 1, Sgn, FixedType<JetType::Long>},
    {"Int", 1, 1, Int, SameNumberType},
    {"Fix", 1, 1, Fix, SameNumberType},
    {"Round", 1, 2, Round, SameNumberType},
    {"Sqr", 1, 1, Sqr, FixedType<JetType::Double>},
    {"Exp", 1, 1, Exp, FixedType<JetType::Double>},
    {"Log", 1, 1, Log, FixedType<JetType::Double>},
    {"Sin", 1, 1, Sin, FixedType<JetType::Double>},
    {"Cos", 1, 1, Cos, FixedType<JetType::Double>},
    {"Tan", 1, 1, Tan, FixedType<JetType::Double>},
    {"Atn", 1, 1, Atn, FixedType<JetType::Double>},
    {"CStr", 1, 1, CStr, TextResult},
    {"CLng", 1, 1, CLng, FixedType<JetType::Long>},
    {"CInt", 1, 1, CInt, FixedType<JetType::Integer>},
    {"CByte", 1, 1, CByte, FixedType<JetType::Byte>},
    {"CDbl", 1, 1, CDbl, FixedType<JetType::Double>},
    {"CSng", 1, 1, CSng, FixedType<JetType::Single>},
    {"CCur", 1, 1, CCur, FixedType<JetType::Currency>},
    {"CDec", 1, 1, CDec, DecimalResult},
    {"CDate", 1, 1, CDate, FixedType<JetType::DateTime>},
    {"CVDate", 1, 1, CDate, FixedType<JetType::DateTime>},
    {"CBool", 1, 1, CBool, FixedType<JetType::Boolean>},
    {"CVar", 1, 1, CVar, SameType},
    {"Val", 1, 1, Val, FixedType<JetType::Double>},
    {"Partition", 4, 4, Partition, TextResult},
    {"Str", 1, 1, Str, TextResult},
    {"Hex", 1, 1, Hex, TextResult},
    {"Oct", 1, 1, Oct, TextResult},
};

}  // namespace

std::span<const FunctionDef> NumberFunctions() {
  return kNumberFunctions;
}

}  // namespace tablift::jet
