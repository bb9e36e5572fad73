#include "data_access/jet/sql/value_comparison.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "data_access/jet/sql/date_arithmetic.h"
#include "data_access/jet/sql/exact_decimal.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

enum class Family { Null, Number, Date, Text, Guid, Bytes };

Family FamilyOf(const Value& value) {
  if (IsNull(value)) return Family::Null;
  if (std::holds_alternative<DateTime>(value)) return Family::Date;
  if (std::holds_alternative<std::string>(value)) return Family::Text;
  if (std::holds_alternative<Guid>(value)) return Family::Guid;
  if (std::holds_alternative<Bytes>(value)) return Family::Bytes;
  return Family::Number;
}

int Sign(long double a, long double b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

bool IsExact(const Value& number) {
  return !std::holds_alternative<double>(number);
}

long double LongDoubleOf(const Value& number) {
  if (const auto* d = std::get_if<double>(&number)) return *d;
  if (const auto* i = std::get_if<std::int64_t>(&number)) return static_cast<long double>(*i);
  if (const auto* b = std::get_if<bool>(&number)) return *b ? -1.0L : 0.0L;
  if (const auto* c = std::get_if<Currency>(&number)) {
    return static_cast<long double>(c->scaled) / 10000.0L;
  }
  const ExactDecimal exact = ToExactDecimal(number);
  return static_cast<long double>(exact.unscaled) / std::pow(10.0L, exact.scale);
}

int CompareNumbers(const Value& a, const Value& b) {
  const auto* ia = std::get_if<std::int64_t>(&a);
  const auto* ib = std::get_if<std::int64_t>(&b);
  if (ia && ib) return *ia < *ib ? -1 : (*ia > *ib ? 1 : 0);
  if (IsExact(a) && IsExact(b)) {
    const Value x = std::holds_alternative<bool>(a) ? ToArithmetic(a) : a;
    const Value y = std::holds_alternative<bool>(b) ? ToArithmetic(b) : b;
    return CompareDecimals(ToExactDecimal(x), ToExactDecimal(y));
  }
  if (!IsExact(a) && !IsExact(b)) return Sign(std::get<double>(a), std::get<double>(b));
  // A Double against an exact number: the Double through its 15 significant
  // digits, as Access converts it, so that CCur(0.1) = 0.1.
  const Value& real = IsExact(a) ? b : a;
  const std::optional<ExactDecimal> digits = DecimalFromDouble(std::get<double>(real));
  if (!digits) return Sign(LongDoubleOf(a), LongDoubleOf(b));
  const Value& exact = IsExact(a) ? a : b;
  const ExactDecimal other =
      ToExactDecimal(std::holds_alternative<bool>(exact) ? ToArithmetic(exact) : exact);
  return IsExact(a) ? CompareDecimals(other, *digits) : CompareDecimals(*digits, other);
}

std::string GuidDigits(const std::string& text) {
  std::string digits = text;
  if (digits.size() >= 2 && digits.front() == '{' && digits.back() == '}') {
    digits = digits.substr(1, digits.size() - 2);
  }
  return digits;
}

int CompareBytes(const std::string& a, const std::string& b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Both sides in the same family, neither Null.
int CompareSameFamily(Family family, const Value& a, const Value& b) {
  switch (family) {
    case Family::Number:
      return CompareNumbers(a, b);
    case Family::Date:
      return Sign(std::get<DateTime>(a).days, std::get<DateTime>(b).days);
    case Family::Text:
      return CompareText(std::get<std::string>(a), std::get<std::string>(b));
    case Family::Guid:
      return CompareText(GuidDigits(std::get<Guid>(a).text), GuidDigits(std::get<Guid>(b).text));
    case Family::Bytes:
      return CompareBytes(TextOf(a), TextOf(b));
    case Family::Null:
      break;
  }
  return 0;
}

// Text on one side, something else on the other.
int CompareTextWith(const std::string& text, const Value& other, Family otherFamily) {
  if (otherFamily == Family::Number) {
    if (const std::optional<Value> number = NumberFromText(text)) {
      return CompareNumbers(*number, other);
    }
  } else if (otherFamily == Family::Date) {
    if (const std::optional<double> serial = ParseDateText(text)) {
      return Sign(*serial, std::get<DateTime>(other).days);
    }
  } else if (otherFamily == Family::Guid) {
    return CompareText(GuidDigits(text), GuidDigits(std::get<Guid>(other).text));
  } else if (otherFamily == Family::Bytes) {
    return CompareBytes(text, TextOf(other));
  }
  return CompareText(text, TextOf(other));
}

}  // namespace

std::optional<int> CompareValues(const Value& a, const Value& b) {
  const Family fa = FamilyOf(a);
  const Family fb = FamilyOf(b);
  if (fa == Family::Null || fb == Family::Null) return std::nullopt;
  if (fa == fb) return CompareSameFamily(fa, a, b);
  if (fa == Family::Text) return CompareTextWith(std::get<std::string>(a), b, fb);
  if (fb == Family::Text) return -CompareTextWith(std::get<std::string>(b), a, fa);
  if ((fa == Family::Date || fa == Family::Number) &&
      (fb == Family::Date || fb == Family::Number)) {
    return Sign(LongDoubleOf(ToArithmetic(a)), LongDoubleOf(ToArithmetic(b)));
  }
  return CompareBytes(TextOf(a), TextOf(b));
}

int CompareForOrdering(const Value& a, const Value& b) {
  Family fa = FamilyOf(a);
  Family fb = FamilyOf(b);
  // Dates and numbers share one scale so that the order stays transitive.
  if (fa == Family::Date && fb == Family::Number) fa = Family::Number;
  if (fb == Family::Date && fa == Family::Number) fb = Family::Number;
  if (fa != fb) return static_cast<int>(fa) < static_cast<int>(fb) ? -1 : 1;
  if (fa == Family::Null) return 0;
  if (fa == Family::Number &&
      (std::holds_alternative<DateTime>(a) || std::holds_alternative<DateTime>(b))) {
    return Sign(LongDoubleOf(ToArithmetic(a)), LongDoubleOf(ToArithmetic(b)));
  }
  return CompareSameFamily(fa, a, b);
}

bool RowLess::operator()(const std::vector<Value>& a, const std::vector<Value>& b) const {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int c = CompareForOrdering(a[i], b[i]);
    if (c != 0) return c < 0;
  }
  return a.size() < b.size();
}

}  // namespace tablift::jet
