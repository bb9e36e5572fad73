#include "translate/default_values.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "data_access/ascii_text.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

struct AccessValue {
  enum class Kind { Empty, Null, Boolean, Number, Text, Timestamp, Date, Other };
  Kind kind = Kind::Other;
  std::string text;  // Boolean "1"/"0"; Number as written; Text unquoted; Date "Y-M-D"
};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

// A literal quoted with `quote`, the quote doubled inside, as Access writes
// text; nothing when the text is not one whole literal.
std::optional<std::string> Unquoted(std::string_view text, char quote) {
  if (text.size() < 2 || text.front() != quote || text.back() != quote) return std::nullopt;
  std::string value;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == quote) {
      if (i + 2 < text.size() && text[i + 1] == quote) {
        value += quote;
        ++i;
        continue;
      }
      return std::nullopt;  // a quote ends the literal before its end: an expression
    }
    value += text[i];
  }
  return value;
}

bool IsNumber(std::string_view text) {
  static const std::regex kNumber(R"([+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?)");
  return std::regex_match(text.begin(), text.end(), kNumber);
}

bool IsInteger(std::string_view text) {
  static const std::regex kInteger(R"([+-]?\d+)");
  return std::regex_match(text.begin(), text.end(), kInteger);
}

// #month/day/year#, the form Access keeps date defaults in.
std::optional<std::string> AccessDate(std::string_view text) {
  static const std::regex kDate(R"(#(\d{1,2})/(\d{1,2})/(\d{4})#)");
  std::match_results<std::string_view::const_iterator> match;
  if (!std::regex_match(text.begin(), text.end(), match, kDate)) return std::nullopt;
  const int month = std::stoi(match[1].str());
  const int day = std::stoi(match[2].str());
  if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  char date[16];
  std::snprintf(date, sizeof date, "%s-%02d-%02d", match[3].str().c_str(), month, day);
  return std::string(date);
}

AccessValue Classify(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '=') text = Trim(text.substr(1));
  if (text.empty()) return {AccessValue::Kind::Empty, {}};
  const std::string upper = ToUpperAscii(text);
  if (upper == "NULL") return {AccessValue::Kind::Null, {}};
  if (upper == "YES" || upper == "TRUE" || upper == "ON") return {AccessValue::Kind::Boolean, "1"};
  if (upper == "NO" || upper == "FALSE" || upper == "OFF") return {AccessValue::Kind::Boolean, "0"};
  if (upper == "NOW()" || upper == "DATE()") return {AccessValue::Kind::Timestamp, {}};
  if (IsNumber(text))
    return {AccessValue::Kind::Number, std::string(text.front() == '+' ? text.substr(1) : text)};
  if (auto value = Unquoted(text, '"')) return {AccessValue::Kind::Text, std::move(*value)};
  if (auto value = Unquoted(text, '\'')) return {AccessValue::Kind::Text, std::move(*value)};
  if (auto date = AccessDate(text)) return {AccessValue::Kind::Date, std::move(*date)};
  return {AccessValue::Kind::Other, std::string(text)};
}

bool InRange(std::string_view integer, std::int64_t minimum, std::int64_t maximum) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(integer.data(), integer.data() + integer.size(), value);
  return error == std::errc() && end == integer.data() + integer.size() && value >= minimum &&
         value <= maximum;
}

// A plain decimal number whose integer part has room in DECIMAL(p, s).
bool FitsDecimal(std::string_view number, int precision, int scale) {
  if (number.find_first_of("eE") != std::string_view::npos) return false;
  if (!number.empty() && (number.front() == '-' || number.front() == '+')) number.remove_prefix(1);
  std::string_view integerPart = number.substr(0, number.find('.'));
  while (integerPart.size() > 1 && integerPart.front() == '0')
    integerPart.remove_prefix(1);
  if (integerPart == "0") integerPart = {};
  return static_cast<int>(integerPart.size()) <= precision - scale;
}

// Characters, not bytes: MySQL measures VARCHAR lengths in characters.
std::size_t Utf8Length(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

TranslatedDefault Take(std::string value) {
  return {std::move(value), false};
}

TranslatedDefault Dropped() {
  return {{}, true};
}

}  // namespace

TranslatedDefault TranslateDefaultValue(std::string_view accessDefault,
                                        const DefaultTarget& target) {
  using Kind = AccessValue::Kind;
  using Target = DefaultTarget::Kind;
  const AccessValue value = Classify(accessDefault);
  if (value.kind == Kind::Empty || value.kind == Kind::Null) return {};
  if (value.kind == Kind::Other) return Dropped();

  switch (target.kind) {
    case Target::Bit:
      if (value.kind == Kind::Boolean) return Take(value.text);
      // Access keeps True as -1: any number but zero is Yes.
      if (value.kind == Kind::Number)
        return Take(std::strtod(value.text.c_str(), nullptr) != 0.0 ? "1" : "0");
      return Dropped();
    case Target::Integer:
      if (value.kind == Kind::Boolean) return Take(value.text);
      if (value.kind == Kind::Number && IsInteger(value.text) &&
          InRange(value.text, target.minimum, target.maximum)) {
        return Take(value.text);
      }
      return Dropped();
    case Target::Real:
      if (value.kind == Kind::Boolean || value.kind == Kind::Number) return Take(value.text);
      return Dropped();
    case Target::Decimal:
      if (value.kind == Kind::Boolean) return Take(value.text);
      if (value.kind == Kind::Number && FitsDecimal(value.text, target.precision, target.scale)) {
        return Take(value.text);
      }
      return Dropped();
    case Target::DateTime:
      if (value.kind == Kind::Timestamp && target.currentTimestamp)
        return Take("CURRENT_TIMESTAMP");
      if (value.kind == Kind::Date) return Take(StringLiteral(value.text));
      return Dropped();
    case Target::Text:
      if (value.kind == Kind::Text || value.kind == Kind::Number) {
        if (Utf8Length(value.text) > target.maxCharacters) return Dropped();
        return Take(StringLiteral(value.text));
      }
      return Dropped();
    case Target::None:
      return Dropped();
  }
  return Dropped();
}

}  // namespace tablift
