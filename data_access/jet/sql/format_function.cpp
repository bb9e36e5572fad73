// Format(value [, format [, firstdayofweek [, firstweekofyear]]]) and its
// kin: values as text the way Access shows them with an English (United
// States) Windows setting: the named formats, custom date and number
// patterns, month and weekday names.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/ascii_text.h"
#include "data_access/jet/sql/builtin_functions.h"
#include "data_access/jet/sql/date_arithmetic.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::size_t RunLength(std::string_view pattern, std::size_t i) {
  std::size_t n = 1;
  while (i + n < pattern.size() && ToLowerAscii(pattern[i + n]) == ToLowerAscii(pattern[i]))
    ++n;
  return n;
}

std::string TwoDigits(int value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
  return text.size() - at >= word.size() && EqualsIgnoreCase(text.substr(at, word.size()), word);
}

// Text a pattern gives as it is: a quoted run ("...", to the pattern's end
// when unclosed; a backslash in it is text too) or one character after a
// backslash. `end` is where the pattern goes on after it, `at` itself when
// there is none.
struct PatternLiteral {
  std::string_view text;
  std::size_t end;
};
PatternLiteral LiteralAt(std::string_view pattern, std::size_t at) {
  if (pattern[at] == '"') {
    const std::size_t close = pattern.find('"', at + 1);
    const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
    return {pattern.substr(at + 1, end - at - 1), end + 1};
  }
  if (pattern[at] == '\\' && at + 1 < pattern.size()) return {pattern.substr(at + 1, 1), at + 2};
  return {{}, at};
}

// Appends the literal text at `i` and moves `i` past it; says whether there
// was one.
bool AppendQuotedOrEscaped(std::string_view pattern, std::size_t& i, std::string& out) {
  const PatternLiteral literal = LiteralAt(pattern, i);
  if (literal.end == i) return false;
  out.append(literal.text);
  i = literal.end;
  return true;
}

// Calls `visit(i)` at each position of the pattern outside its literal text,
// until a call returns true; says whether one did.
template <typename Visit>
bool AnyOutsideLiterals(std::string_view pattern, Visit visit) {
  for (std::size_t i = 0; i < pattern.size();) {
    const std::size_t end = LiteralAt(pattern, i).end;
    if (end != i) {
      i = end;
      continue;
    }
    if (visit(i)) return true;
    ++i;
  }
  return false;
}

bool HasTwelveHourMarker(std::string_view pattern) {
  return AnyOutsideLiterals(pattern, [pattern](std::size_t i) {
    return StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p") ||
           StartsWithNoCase(pattern, i, "ampm");
  });
}

struct DateFormatter {
  double serial;
  int firstDay;
  int firstWeek;

  std::string format(std::string_view pattern) const {
    const CivilDateTime c = CivilFromSerial(serial);
    const bool twelveHour = HasTwelveHourMarker(pattern);
    std::string out;
    bool afterHour = false;  // m right after h is minutes
    for (std::size_t i = 0; i < pattern.size();) {
      const char ch = ToLowerAscii(pattern[i]);
      const std::size_t n = RunLength(pattern, i);
      if (AppendQuotedOrEscaped(pattern, i, out)) continue;
      if (StartsWithNoCase(pattern, i, "am/pm")) {
        const bool upper = pattern[i] == 'A';
        out += c.hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
        i += 5;
        continue;
      }
      if (StartsWithNoCase(pattern, i, "a/p")) {
        const bool upper = pattern[i] == 'A';
        out += c.hour < 12 ? (upper ? "A" : "a") : (upper ? "P" : "p");
        i += 3;
        continue;
      }
      if (StartsWithNoCase(pattern, i, "ampm")) {
        out += c.hour < 12 ? "AM" : "PM";
        i += 4;
        continue;
      }
      switch (ch) {
        case 'd':
          if (n == 1) out += std::to_string(c.day);
          if (n == 2) out += TwoDigits(c.day);
          if (n == 3) out += std::string(kDays[WeekdayOf(serial, 1) - 1]).substr(0, 3);
          if (n == 4) out += kDays[WeekdayOf(serial, 1) - 1];
          if (n == 5) out += format("m/d/yyyy");
          if (n >= 6) out += format("dddd, mmmm d, yyyy");
          afterHour = false;
          break;
        case 'm': {
          const bool minutes = n <= 2 && (afterHour || NextIsSecond(pattern, i + n));
          if (minutes) {
            out += n == 1 ? std::to_string(c.minute) : TwoDigits(c.minute);
          } else if (n == 1) {
            out += std::to_string(c.month);
          } else if (n == 2) {
            out += TwoDigits(c.month);
          } else if (n == 3) {
            out += std::string(kMonths[c.month - 1]).substr(0, 3);
          } else {
            out += kMonths[c.month - 1];
          }
          afterHour = false;
          break;
        }
        case 'y':
          if (n == 1) out += std::to_string(DatePart(DateInterval::DayOfYear, serial, 1));
          if (n == 2) out += TwoDigits(c.year % 100);
          if (n >= 3) out += std::to_string(c.year);
          afterHour = false;
          break;
        case 'q':
          out += std::to_string((c.month - 1) / 3 + 1);
          break;
        case 'w':
          if (n == 1) out += std::to_string(WeekdayOf(serial, firstDay));
          if (n >= 2)
            out += std::to_string(DatePart(DateInterval::Week, serial, firstDay, firstWeek));
          break;
        case 'h': {
          int hour = c.hour;
          if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
          out += n == 1 ? std::to_string(hour) : TwoDigits(hour);
          afterHour = true;
          break;
        }
        case 'n':
          out += n == 1 ? std::to_string(c.minute) : TwoDigits(c.minute);
          afterHour = false;
          break;
        case 's':
          out += n == 1 ? std::to_string(c.second) : TwoDigits(c.second);
          afterHour = false;
          break;
        case 'c':
          out += GeneralDate(serial);
          break;
        case 't':
          if (n >= 5) {
            out += format("h:nn:ss AM/PM");
            break;
          }
          out.append(pattern.substr(i, n));
          break;
        default:
          out.append(pattern.substr(i, n));
          break;
      }
      i += n;
    }
    return out;
  }

  static bool NextIsSecond(std::string_view pattern, std::size_t i) {
    while (i < pattern.size() &&
           std::string_view(" :./-").find(pattern[i]) != std::string_view::npos)
      ++i;
    return i < pattern.size() && ToLowerAscii(pattern[i]) == 's';
  }

  // Access's General Date: the date, the time, or both.
  static std::string GeneralDate(double serial) {
    const DateFormatter formatter{serial, 1, 1};
    const double whole = std::trunc(serial);
    const bool hasTime = std::fabs(serial - whole) > 1e-9;
    if (whole == 0 && hasTime) return formatter.format("h:nn:ss AM/PM");
    if (!hasTime) return formatter.format("m/d/yyyy");
    return formatter.format("m/d/yyyy h:nn:ss AM/PM");
  }
};

// --- numbers --------------------------------------------------------------------

struct NumberPattern {
  std::string prefix;
  std::string suffix;
  int integerZeros = 0;  // 0 placeholders before the point
  bool thousands = false;
  int decimals = 0;  // placeholders after the point
  int decimalZeros = 0;
  bool point = false;
  bool percent = false;
  bool scientific = false;
  bool exponentSign = false;  // E+: always a sign
  int exponentZeros = 0;
};

// Literal text outside the digits: quoted, escaped, or characters that are
// no placeholders.
void AppendLiteral(std::string_view section, std::size_t& i, std::string& out) {
  if (AppendQuotedOrEscaped(section, i, out)) return;
  out.push_back(section[i]);
  ++i;
}

NumberPattern ParseNumberPattern(std::string_view section) {
  NumberPattern p;
  std::size_t i = 0;
  bool inDigits = false, afterDigits = false;
  while (i < section.size()) {
    const char ch = section[i];
    const bool placeholder = ch == '0' || ch == '#';
    if (!afterDigits &&
        (placeholder || (inDigits && (ch == ',' || ch == '.')) || (!inDigits && ch == '.'))) {
      inDigits = true;
      if (ch == '.') {
        p.point = true;
      } else if (ch == ',') {
        p.thousands = true;
      } else if (p.point) {
        ++p.decimals;
        if (ch == '0') p.decimalZeros = p.decimals;
      } else if (ch == '0') {
        ++p.integerZeros;
      }
      ++i;
      continue;
    }
    if (inDigits && (ch == 'E' || ch == 'e') && i + 1 < section.size() &&
        (section[i + 1] == '+' || section[i + 1] == '-')) {
      p.scientific = true;
      p.exponentSign = section[i + 1] == '+';
      i += 2;
      while (i < section.size() && (section[i] == '0' || section[i] == '#')) {
        ++p.exponentZeros;
        ++i;
      }
      afterDigits = true;
      continue;
    }
    if (inDigits) afterDigits = true;
    if (ch == '%') p.percent = true;
    AppendLiteral(section, i, afterDigits ? p.suffix : p.prefix);
  }
  return p;
}

// |value| rounded half away from zero to `decimals` places, as digits. Like
// Access, it shows at most 15 significant digits; places beyond them are
// zeros.
void Digits(double value, int decimals, std::string& integer, std::string& fraction) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  std::string digits(1, buffer[0]);
  digits.append(buffer + 2, 14);
  int point = std::atoi(std::strchr(buffer, 'e') + 1) + 1;  // digits before the point
  const int keep = point + decimals;
  if (keep < 0) {
    digits.clear();
  } else if (keep < static_cast<int>(digits.size())) {
    const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (up) {
      int i = keep - 1;
      while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
        digits[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0) {
        ++digits[static_cast<std::size_t>(i)];
      } else {
        digits.insert(0, "1");
        ++point;
      }
    }
  }
  const auto digitAt = [&](int index) {
    return index >= 0 && index < static_cast<int>(digits.size())
               ? digits[static_cast<std::size_t>(index)]
               : '0';
  };
  integer.clear();
  for (int i = 0; i < point; ++i)
    integer.push_back(digitAt(i));
  const std::size_t nonZero = integer.find_first_not_of('0');
  integer = nonZero == std::string::npos ? "0" : integer.substr(nonZero);
  fraction.clear();
  for (int i = 0; i < decimals; ++i)
    fraction.push_back(digitAt(point + i));
}

std::string FormatNumber(double value, const NumberPattern& p) {
  if (p.percent) value *= 100;
  int exponent = 0;
  if (p.scientific && value != 0) {
    exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int integerDigits = p.integerZeros > 0 ? p.integerZeros : 1;
    exponent -= integerDigits - 1;
    value /= std::pow(10.0, exponent);
    // Rounding may carry into one more digit: 9.999 -> 10.00.
    std::string integer, fraction;
    Digits(value, p.decimals, integer, fraction);
    if (static_cast<int>(integer.size()) > integerDigits) {
      value /= 10;
      ++exponent;
    }
  }
  std::string integer, fraction;
  Digits(value, p.decimals, integer, fraction);
  if (integer == "0" && p.integerZeros == 0) integer.clear();
  while (static_cast<int>(integer.size()) < p.integerZeros)
    integer.insert(0, "0");
  while (static_cast<int>(fraction.size()) > p.decimalZeros && !fraction.empty() &&
         fraction.back() == '0')
    fraction.pop_back();
  if (p.thousands) {
    for (int at = static_cast<int>(integer.size()) - 3; at > 0; at -= 3)
      integer.insert(static_cast<std::size_t>(at), ",");
  }
  std::string out = p.prefix + integer;
  if (p.point) out += "." + fraction;
  if (p.scientific) {
    out += "E";
    if (exponent < 0) {
      out += "-";
    } else if (p.exponentSign) {
      out += "+";
    }
    std::string digits = std::to_string(std::abs(exponent));
    while (static_cast<int>(digits.size()) < p.exponentZeros)
      digits.insert(0, "0");
    out += digits;
  }
  return out + p.suffix;
}

std::vector<std::string_view> Sections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  std::size_t start = 0;
  AnyOutsideLiterals(pattern, [&](std::size_t i) {
    if (pattern[i] == ';') {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
    return false;
  });
  sections.push_back(pattern.substr(start));
  return sections;
}

// Custom number patterns: positive;negative;zero;null sections.
Value FormatWithNumberPattern(const Value& value, std::string_view pattern) {
  const std::vector<std::string_view> sections = Sections(pattern);
  if (IsNull(value)) {
    if (sections.size() >= 4) return FormatNumber(0, ParseNumberPattern(sections[3]));
    return Null{};
  }
  const double number = ToDouble(value);
  if (number < 0 && sections.size() >= 2 && !sections[1].empty()) {
    return FormatNumber(-number, ParseNumberPattern(sections[1]));
  }
  if (number == 0 && sections.size() >= 3 && !sections[2].empty()) {
    return FormatNumber(0, ParseNumberPattern(sections[2]));
  }
  const NumberPattern p = ParseNumberPattern(sections[0]);
  std::string text = FormatNumber(number, p);
  // A negative value that rounds to zero digits loses its sign, as in Access.
  bool nonZero = false;
  for (char ch : text) {
    if (ch >= '1' && ch <= '9') nonZero = true;
  }
  if (number < 0 && nonZero) text.insert(0, "-");
  return text;
}

bool IsNumberPattern(std::string_view pattern) {
  return AnyOutsideLiterals(
      pattern, [pattern](std::size_t i) { return pattern[i] == '0' || pattern[i] == '#'; });
}

// The value as a date for a date pattern: dates, numbers as serials, text
// that reads as a date or a number; empty for other text. Out of the date
// range is an overflow.
std::optional<double> DateOf(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (!ParseDateText(*text) && !NumberFromText(*text)) return std::nullopt;
  } else if (!std::holds_alternative<DateTime>(value) && !IsNumericKind(value)) {
    return std::nullopt;
  }
  return ToDateSerial(value);
}

struct NamedFormat {
  std::string_view name;
  std::string_view pattern;
  bool date;
};

constexpr NamedFormat kNamedFormats[] = {
    {"long date", "dddd, mmmm d, yyyy", true},
    {"medium date", "dd-mmm-yy", true},
    {"short date", "m/d/yyyy", true},
    {"long time", "h:nn:ss AM/PM", true},
    {"medium time", "hh:nn AM/PM", true},
    {"short time", "hh:nn", true},
    {"currency", "$#,##0.00;($#,##0.00)", false},
    {"euro", "€#,##0.00;(€#,##0.00)", false},
    {"fixed", "0.00", false},
    {"standard", "#,##0.00", false},
    {"percent", "0.00%", false},
    {"scientific", "0.00E+00", false},
};

Value YesNo(const Value& value, const char* yes, const char* no) {
  const std::optional<bool> truth = TruthOf(value);
  return std::string(*truth ? yes : no);
}

Value FormatOf(ArgumentList& a) {
  const Value value = a.evaluate(0);
  std::string pattern;
  if (a.size() > 1) {
    const Value p = a.evaluate(1);
    if (!IsNull(p)) pattern = TextOf(p);
  }
  int firstDay = 1, firstWeek = 1;
  if (a.size() > 2) {
    const std::int64_t day = IntegerArgument(a, 2);
    if (day < 0 || day > 7) InvalidArgument();
    firstDay = day == 0 ? 1 : static_cast<int>(day);
  }
  if (a.size() > 3) {
    const std::int64_t week = IntegerArgument(a, 3);
    if (week < 0 || week > 3) InvalidArgument();
    firstWeek = week == 0 ? 1 : static_cast<int>(week);
  }
  const std::string lower = ToLowerText(pattern);
  if (IsNull(value)) {
    if (!pattern.empty() && IsNumberPattern(pattern))
      return FormatWithNumberPattern(value, pattern);
    return Null{};
  }
  if (pattern.empty() || lower == "general date" || lower == "general number") {
    if (const auto* date = std::get_if<DateTime>(&value)) {
      if (lower != "general number") return DateFormatter::GeneralDate(date->days);
    }
    return TextOf(value);
  }
  if (lower == "yes/no") return YesNo(value, "Yes", "No");
  if (lower == "true/false") return YesNo(value, "True", "False");
  if (lower == "on/off") return YesNo(value, "On", "Off");
  for (const NamedFormat& named : kNamedFormats) {
    if (lower != named.name) continue;
    if (named.date) {
      const std::optional<double> serial = DateOf(value);
      if (!serial) return TextOf(value);
      return DateFormatter{*serial, firstDay, firstWeek}.format(named.pattern);
    }
    if (!IsNumericKind(value) && !NumberFromText(TextOf(value))) return TextOf(value);
    return FormatWithNumberPattern(value, named.pattern);
  }
  if (IsNumberPattern(pattern)) {
    if (!IsNumericKind(value) && !std::holds_alternative<DateTime>(value) &&
        !NumberFromText(TextOf(value))) {
      return TextOf(value);
    }
    return FormatWithNumberPattern(value, pattern);
  }
  // Text patterns: > upper case, < lower case.
  if (pattern == ">") return ToUpperText(TextOf(value));
  if (pattern == "<") return ToLowerText(TextOf(value));
  const std::optional<double> serial = DateOf(value);
  if (!serial) return TextOf(value);
  return DateFormatter{*serial, firstDay, firstWeek}.format(pattern);
}

// FormatNumber, FormatCurrency, FormatPercent: (value [, digits [, leading
// digit [, parentheses for negatives [, group digits]]]]), the tristate
// arguments -1 true, 0 false, -2 the (United States) default.
Value FormatAsNumber(ArgumentList& a, std::string_view prefix, std::string_view suffix,
                     bool parentheses) {
  const Value value = a.evaluate(0);
  if (IsNull(value)) return Null{};
  std::int64_t digits = a.size() > 1 ? IntegerArgument(a, 1) : -1;
  if (digits == -1) digits = 2;
  if (digits < 0 || digits > 99) InvalidArgument();
  const auto tristate = [&](std::size_t index, bool otherwise) {
    if (index >= a.size()) return otherwise;
    const std::int64_t setting = IntegerArgument(a, index);
    if (setting == -2) return otherwise;
    return setting != 0;
  };
  const bool leading = tristate(2, true);
  parentheses = tristate(3, parentheses);
  const bool group = tristate(4, true);
  std::string digitsPattern = group ? "#,##" : "";
  digitsPattern += leading ? "0" : "#";
  if (digits > 0) digitsPattern += "." + std::string(static_cast<std::size_t>(digits), '0');
  std::string pattern = std::string(prefix) + digitsPattern + std::string(suffix);
  if (parentheses) pattern += ";(" + pattern + ")";
  return FormatWithNumberPattern(value, pattern);
}

Value FormatNumberOf(ArgumentList& a) {
  return FormatAsNumber(a, "", "", false);
}
Value FormatCurrencyOf(ArgumentList& a) {
  return FormatAsNumber(a, "$", "", true);
}
Value FormatPercentOf(ArgumentList& a) {
  return FormatAsNumber(a, "", "%", false);
}

// FormatDateTime(date [, 0 general | 1 long date | 2 short date | 3 long time
// | 4 short time]).
Value FormatDateTimeOf(ArgumentList& a) {
  const Value value = a.evaluate(0);
  const std::int64_t kind = a.size() > 1 ? IntegerArgument(a, 1) : 0;
  if (IsNull(value)) return Null{};
  const std::optional<double> serial = DateOf(value);
  if (!serial) throw EvaluationError("Type mismatch");
  constexpr std::string_view kPatterns[] = {"", "dddd, mmmm d, yyyy", "m/d/yyyy", "h:nn:ss AM/PM",
                                            "hh:nn"};
  if (kind < 0 || kind > 4) InvalidArgument();
  if (kind == 0) return DateFormatter::GeneralDate(*serial);
  return DateFormatter{*serial, 1, 1}.format(kPatterns[kind]);
}

// MonthName(month [, abbreviate])
Value MonthNameOf(ArgumentList& a) {
  const Value month = a.evaluate(0);
  if (IsNull(month)) throw EvaluationError("Invalid use of Null");
  const std::int64_t m = ToInteger(month);
  if (m < 1 || m > 12) InvalidArgument();
  std::string name = kMonths[m - 1];
  if (a.size() > 1 && TruthOf(a.evaluate(1)) == true) name.resize(3);
  return name;
}

// WeekdayName(weekday [, abbreviate [, firstdayofweek]]): weekday 1 is the
// first day of the week, Sunday unless told otherwise.
Value WeekdayNameOf(ArgumentList& a) {
  const Value day = a.evaluate(0);
  if (IsNull(day)) throw EvaluationError("Invalid use of Null");
  const std::int64_t d = ToInteger(day);
  const bool abbreviate = a.size() > 1 && TruthOf(a.evaluate(1)) == true;
  std::int64_t first = a.size() > 2 ? IntegerArgument(a, 2) : 1;
  if (first == 0) first = 1;
  if (d < 1 || d > 7 || first < 1 || first > 7) InvalidArgument();
  std::string name = kDays[(d - 1 + first - 1) % 7];
  if (abbreviate) name.resize(3);
  return name;
}

constexpr FunctionDef kFormatFunctions[] = {
    {"Format", 1, 4, FormatOf, TextResult},
    {"FormatNumber", 1, 5, FormatNumberOf, TextResult},
    {"FormatCurrency", 1, 5, FormatCurrencyOf, TextResult},
    {"FormatPercent", 1, 5, FormatPercentOf, TextResult},
    {"FormatDateTime", 1, 2, FormatDateTimeOf, TextResult},
    {"MonthName", 1, 2, MonthNameOf, TextResult},
    {"WeekdayName", 1, 3, WeekdayNameOf, TextResult},
};

}  // namespace

std::span<const FunctionDef> FormatFunctions() {
  return kFormatFunctions;
}

}  // namespace tablift::jet
