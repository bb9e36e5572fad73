#include "data_access/jet/sql/value_arithmetic.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "data_access/jet/sql/date_arithmetic.h"
#include "data_access/jet/sql/exact_decimal.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

enum class Operation { Add, Subtract, Multiply };

[[noreturn]] void Overflow() {
  throw EvaluationError("Overflow");
}

[[noreturn]] void DivisionByZero() {
  throw EvaluationError("Division by zero");
}

enum class Kind { Integer, Real, Money, Exact };

Kind KindOf(const Value& number) {
  if (std::holds_alternative<std::int64_t>(number)) return Kind::Integer;
  if (std::holds_alternative<double>(number)) return Kind::Real;
  if (std::holds_alternative<Currency>(number)) return Kind::Money;
  return Kind::Exact;
}

Kind CommonKind(Kind a, Kind b) {
  if ((a == Kind::Real && b == Kind::Exact) || (a == Kind::Exact && b == Kind::Real)) {
    return Kind::Real;
  }
  return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

Value CheckedReal(double value) {
  if (!std::isfinite(value)) Overflow();
  return value;
}

Value Combine(Operation operation, const Value& x, const Value& y) {
  switch (CommonKind(KindOf(x), KindOf(y))) {
    case Kind::Integer: {
      const std::int64_t a = std::get<std::int64_t>(x), b = std::get<std::int64_t>(y);
      std::int64_t result = 0;
      const bool overflow = operation == Operation::Add ? __builtin_add_overflow(a, b, &result)
                            : operation == Operation::Subtract
                                ? __builtin_sub_overflow(a, b, &result)
                                : __builtin_mul_overflow(a, b, &result);
      if (overflow) Overflow();
      return result;
    }
    case Kind::Real: {
      const double a = ToDouble(x), b = ToDouble(y);
      return CheckedReal(operation == Operation::Add        ? a + b
                         : operation == Operation::Subtract ? a - b
                                                            : a * b);
    }
    case Kind::Money: {
      const ExactDecimal a{ToCurrency(x).scaled, 4}, b{ToCurrency(y).scaled, 4};
      std::optional<ExactDecimal> result = operation == Operation::Add ? AddDecimals(a, b)
                                           : operation == Operation::Subtract
                                               ? SubtractDecimals(a, b)
                                               : MultiplyDecimals(a, b);
      if (!result) Overflow();
      return ToCurrency(DecimalValue(*result));
    }
    case Kind::Exact: {
      const ExactDecimal a = ToExactDecimal(x), b = ToExactDecimal(y);
      std::optional<ExactDecimal> result = operation == Operation::Add ? AddDecimals(a, b)
                                           : operation == Operation::Subtract
                                               ? SubtractDecimals(a, b)
                                               : MultiplyDecimals(a, b);
      if (!result) Overflow();
      return DecimalValue(*result);
    }
  }
  return Null{};
}

Value DateResult(double serial) {
  if (!InDateRange(serial)) Overflow();
  return DateTime{serial};
}

bool IsDate(const Value& v) {
  return std::holds_alternative<DateTime>(v);
}

void IntegerOperands(const Value& a, const Value& b, std::int64_t& x, std::int64_t& y) {
  x = ToInteger(a);
  y = ToInteger(b);
  if (y == 0) DivisionByZero();
  if (x == INT64_MIN && y == -1) Overflow();
}

}  // namespace

Value AddValues(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return Null{};
  const auto* sa = std::get_if<std::string>(&a);
  const auto* sb = std::get_if<std::string>(&b);
  if (sa && sb) return *sa + *sb;
  if (IsDate(a) || IsDate(b)) {
    return DateResult(ToDouble(ToArithmetic(a)) + ToDouble(ToArithmetic(b)));
  }
  return Combine(Operation::Add, ToArithmetic(a), ToArithmetic(b));
}

Value SubtractValues(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return Null{};
  if (IsDate(a) && IsDate(b)) {
    return CheckedReal(std::get<DateTime>(a).days - std::get<DateTime>(b).days);
  }
  if (IsDate(a)) return DateResult(std::get<DateTime>(a).days - ToDouble(ToArithmetic(b)));
  if (IsDate(b)) return CheckedReal(ToDouble(ToArithmetic(a)) - std::get<DateTime>(b).days);
  return Combine(Operation::Subtract, ToArithmetic(a), ToArithmetic(b));
}

Value MultiplyValues(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return Null{};
  return Combine(Operation::Multiply, ToArithmetic(a), ToArithmetic(b));
}

Value DivideValues(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return Null{};
  const double divisor = ToDouble(b);
  if (divisor == 0) DivisionByZero();
  return CheckedReal(ToDouble(a) / divisor);
}

Value IntegerDivideValues(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return Null{};
  std::int64_t x = 0, y = 0;
  IntegerOperands(a, b, x, y);
  return x / y;
}

Value ModuloValues(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return Null{};
  std::int64_t x = 0, y = 0;
  IntegerOperands(a, b, x, y);
  return x % y;
}

Value PowerValues(const Value& a, const Value& b) {
  if (IsNull(a) || IsNull(b)) return Null{};
  const double base = ToDouble(a), exponent = ToDouble(b);
  if (base == 0 && exponent < 0) DivisionByZero();
  if (base < 0 && exponent != std::trunc(exponent)) {
    throw EvaluationError("Invalid procedure call or argument");
  }
  return CheckedReal(std::pow(base, exponent));
}

Value NegateValue(const Value& a) {
  if (IsNull(a)) return Null{};
  const Value number = ToArithmetic(a);
  if (const auto* i = std::get_if<std::int64_t>(&number)) {
    if (*i == INT64_MIN) Overflow();
    return -*i;
  }
  if (const auto* d = std::get_if<double>(&number)) {
    return IsDate(a) ? DateResult(-*d) : Value(-*d);
  }
  if (const auto* c = std::get_if<Currency>(&number)) {
    if (c->scaled == INT64_MIN) Overflow();
    return Currency{-c->scaled};
  }
  ExactDecimal exact = ToExactDecimal(number);
  exact.unscaled = -exact.unscaled;
  return DecimalValue(exact);
}

Value ConcatenateValues(const Value& a, const Value& b) {
  if (IsNull(a) && IsNull(b)) return Null{};
  return TextOf(a) + TextOf(b);
}

}  // namespace tablift::jet
