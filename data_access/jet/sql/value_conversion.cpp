#include "data_access/jet/sql/value_conversion.h"

#include <cctype>
#include <cmath>

#include "data_access/jet/sql/date_arithmetic.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {
namespace {

[[noreturn]] void TypeMismatch() {
  throw EvaluationError("Type mismatch");
}

[[noreturn]] void Overflow() {
  throw EvaluationError("Overflow");
}

void RejectNull(const Value& value) {
  if (IsNull(value)) throw EvaluationError("Invalid use of Null");
}

std::int64_t RoundToInteger(double value) {
  if (!std::isfinite(value) || value >= 9.2233720368547758e18 || value < -9.2233720368547758e18) {
    Overflow();
  }
  return static_cast<std::int64_t>(std::nearbyint(value));
}

bool IsGuidText(std::string_view text) {
  if (text.size() != 36) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (c != '-') return false;
    } else if (!std::isxdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string FormatDouble(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  std::string text = FormatDoubleDigits(value);
  const std::size_t e = text.find('e');
  if (e != std::string::npos) text[e] = 'E';
  if (text == "-0") text = "0";
  return text;
}

std::string TextOf(const Value& value) {
  struct Visitor {
    std::string operator()(Null) const { return {}; }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(std::int64_t i) const { return std::to_string(i); }
    std::string operator()(double d) const { return FormatDouble(d); }
    std::string operator()(Currency c) const {
      return FormatExactDecimalTrimmed(ExactDecimal{c.scaled, 4});
    }
    std::string operator()(DateTime d) const { return FormatDateText(d.days); }
    std::string operator()(const Decimal& d) const {
      const auto exact = ParseExactDecimal(d.digits);
      return exact ? FormatExactDecimalTrimmed(*exact) : d.digits;
    }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(const Guid& g) const { return g.text; }
    std::string operator()(const Bytes& b) const {
      return std::string(b.data.begin(), b.data.end());
    }
  };
  return std::visit(Visitor{}, value);
}

std::optional<Value> NumberFromText(std::string_view text) {
  const std::optional<ExactDecimal> exact = ParseExactDecimal(text);
  if (exact) {
    std::int64_t whole = 0;
    if (exact->scale == 0 && DecimalToInteger(*exact, whole)) return Value(whole);
    return Value(DecimalToDouble(*exact));
  }
  // Beyond 38 digits: still a number, as a Double.
  std::size_t first = 0, last = text.size();
  while (first < last && (text[first] == ' ' || text[first] == '\t'))
    ++first;
  while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t'))
    --last;
  const std::string_view digits = text.substr(first, last - first);
  for (char c : digits) {
    // from_chars also reads "inf" and "nan", which Access does not.
    if (((c | 0x20) >= 'a' && (c | 0x20) <= 'z') && c != 'e' && c != 'E') return std::nullopt;
  }
  const std::optional<double> d = ParseDouble(digits);
  if (!d || !std::isfinite(*d)) return std::nullopt;
  return Value(*d);
}

bool IsNumericKind(const Value& value) {
  return std::holds_alternative<bool>(value) || std::holds_alternative<std::int64_t>(value) ||
         std::holds_alternative<double>(value) || std::holds_alternative<Currency>(value) ||
         std::holds_alternative<Decimal>(value);
}

Value ToArithmetic(const Value& value) {
  if (const bool* b = std::get_if<bool>(&value)) return std::int64_t{*b ? -1 : 0};
  if (const auto* d = std::get_if<DateTime>(&value)) return d->days;
  if (const auto* s = std::get_if<std::string>(&value)) {
    const std::optional<Value> number = NumberFromText(*s);
    if (!number) TypeMismatch();
    return ToDouble(*number);
  }
  if (std::holds_alternative<Guid>(value) || std::holds_alternative<Bytes>(value)) TypeMismatch();
  return value;
}

std::int64_t ToInteger(const Value& value) {
  RejectNull(value);
  const Value number = ToArithmetic(value);
  if (const auto* i = std::get_if<std::int64_t>(&number)) return *i;
  if (const auto* d = std::get_if<double>(&number)) return RoundToInteger(*d);
  std::int64_t result = 0;
  if (!DecimalToInteger(ToExactDecimal(number), result)) Overflow();
  return result;
}

double ToDouble(const Value& value) {
  RejectNull(value);
  const Value number = ToArithmetic(value);
  if (const auto* i = std::get_if<std::int64_t>(&number)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&number)) return *d;
  if (const auto* c = std::get_if<Currency>(&number)) return static_cast<double>(c->scaled) / 1e4;
  return DecimalToDouble(ToExactDecimal(number));
}

ExactDecimal ToExactDecimal(const Value& value) {
  RejectNull(value);
  if (const auto* c = std::get_if<Currency>(&value)) return ExactDecimal{c->scaled, 4};
  if (const auto* d = std::get_if<Decimal>(&value)) {
    const auto exact = ParseExactDecimal(d->digits);
    if (!exact) TypeMismatch();
    return *exact;
  }
  if (const auto* s = std::get_if<std::string>(&value)) {
    const auto exact = ParseExactDecimal(*s);
    if (!exact) TypeMismatch();
    return *exact;
  }
  const Value number = ToArithmetic(value);
  if (const auto* i = std::get_if<std::int64_t>(&number)) return DecimalFromInteger(*i);
  const auto exact = DecimalFromDouble(std::get<double>(number));
  if (!exact) Overflow();
  return *exact;
}

Currency ToCurrency(const Value& value) {
  ExactDecimal exact = ToExactDecimal(value);
  if (!RescaleDecimal(exact, 4) || exact.unscaled > INT64_MAX || exact.unscaled < INT64_MIN) {
    Overflow();
  }
  return Currency{static_cast<std::int64_t>(exact.unscaled)};
}

double ToDateSerial(const Value& value) {
  RejectNull(value);
  double serial = 0;
  if (const auto* d = std::get_if<DateTime>(&value)) {
    serial = d->days;
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    const std::optional<double> parsed = ParseDateText(*s);
    if (parsed) {
      serial = *parsed;
    } else if (const std::optional<Value> number = NumberFromText(*s)) {
      serial = ToDouble(*number);
    } else {
      TypeMismatch();
    }
  } else {
    serial = ToDouble(value);
  }
  if (!InDateRange(serial)) Overflow();
  return serial;
}

std::optional<bool> TruthOf(const Value& value) {
  if (IsNull(value)) return std::nullopt;
  if (const bool* b = std::get_if<bool>(&value)) return *b;
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (NamesEqual(*s, "True")) return true;
    if (NamesEqual(*s, "False")) return false;
    const std::optional<Value> number = NumberFromText(*s);
    if (!number) TypeMismatch();
    return ToDouble(*number) != 0;
  }
  if (const auto* c = std::get_if<Currency>(&value)) return c->scaled != 0;
  if (const auto* d = std::get_if<Decimal>(&value)) return ToExactDecimal(*d).unscaled != 0;
  return ToDouble(value) != 0;
}

Decimal DecimalValue(const ExactDecimal& value) {
  return Decimal{FormatExactDecimal(value)};
}

std::int64_t CheckedInteger(std::int64_t value, std::int64_t low, std::int64_t high) {
  if (value < low || value > high) Overflow();
  return value;
}

bool HoldsKindOf(const Value& value, JetType type) {
  if (IsNull(value)) return true;
  switch (type) {
    case JetType::Boolean:
      return std::holds_alternative<bool>(value);
    case JetType::Byte:
    case JetType::Integer:
    case JetType::Long:
    case JetType::BigInt:
    case JetType::Complex:
      return std::holds_alternative<std::int64_t>(value);
    case JetType::Currency:
      return std::holds_alternative<Currency>(value);
    case JetType::Single:
    case JetType::Double:
      return std::holds_alternative<double>(value);
    case JetType::DateTime: {
      const auto* date = std::get_if<DateTime>(&value);
      return date != nullptr && InDateRange(date->days);
    }
    case JetType::Decimal:
      return std::holds_alternative<Decimal>(value);
    case JetType::Text:
    case JetType::Memo:
    case JetType::DateTimeExtended:
      return std::holds_alternative<std::string>(value);
    case JetType::Binary:
    case JetType::OleObject:
      return std::holds_alternative<Bytes>(value);
    case JetType::ReplicationId:
      return std::holds_alternative<Guid>(value);
    default:
      return false;
  }
}

Value ConvertToType(Value value, JetType type, std::uint8_t scale) {
  if (HoldsKindOf(value, type)) return value;
  switch (type) {
    case JetType::Boolean:
      return Value(*TruthOf(value));
    case JetType::Byte:
    case JetType::Integer:
    case JetType::Long:
    case JetType::BigInt:
    case JetType::Complex:
      return Value(ToInteger(value));
    case JetType::Currency:
      return Value(ToCurrency(value));
    case JetType::Single:
    case JetType::Double:
      return Value(ToDouble(value));
    case JetType::DateTime:
      return Value(DateTime{ToDateSerial(value)});
    case JetType::Decimal: {
      // Decimal values keep their own digits; others get the column's scale.
      ExactDecimal exact = ToExactDecimal(value);
      if (!RescaleDecimal(exact, scale)) Overflow();
      return Value(DecimalValue(exact));
    }
    case JetType::Text:
    case JetType::Memo:
    case JetType::DateTimeExtended:
      return Value(TextOf(value));
    case JetType::Binary:
    case JetType::OleObject: {
      const std::string text = TextOf(value);
      return Value(Bytes{std::vector<std::uint8_t>(text.begin(), text.end())});
    }
    case JetType::ReplicationId: {
      std::string text = TextOf(value);
      if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
        text = text.substr(1, 36);
      }
      if (!IsGuidText(text)) TypeMismatch();
      return Value(Guid{"{" + ToUpperText(text) + "}"});
    }
  }
  return value;
}

}  // namespace tablift::jet
