#include "data_access/jet/sql/date_arithmetic.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "data_access/calendar.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t FloorModulo(std::int64_t a, std::int64_t b) {
  return a - FloorDivide(a, b) * b;
}

// Serial 0, 1899-12-30, as a day number counted from 1970-01-01.
constexpr std::int64_t kEpochDayNumber = -25569;

std::optional<double> ValidSerial(double serial) {
  if (!InDateRange(serial)) return std::nullopt;
  return serial;
}

std::optional<double> SerialOfValidDate(std::int64_t year, std::int64_t month, std::int64_t day) {
  if (month < 1 || month > 12 || day < 1 || year < 100 || year > 9999) return std::nullopt;
  if (day > DaysInMonth(static_cast<int>(year), static_cast<int>(month))) return std::nullopt;
  return static_cast<double>(DayNumberFromCivil(year, month, day) - kEpochDayNumber);
}

// The pieces of a date text: numbers, words and the separators between them.
struct DateToken {
  enum Kind { Number, Word, Separator } kind;
  std::string text;
  int value = 0;
  int digits = 0;
};

std::vector<DateToken> SplitDateText(std::string_view text) {
  std::vector<DateToken> tokens;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      DateToken token{DateToken::Number, {}, 0, 0};
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        token.text.push_back(text[i]);
        if (token.digits < 9) token.value = token.value * 10 + (text[i] - '0');
        ++token.digits;
        ++i;
      }
      tokens.push_back(token);
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      DateToken token{DateToken::Word, {}, 0, 0};
      while (i < text.size() &&
             ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
        token.text.push_back(text[i++]);
      }
      tokens.push_back(token);
    } else if (c == ' ' || c == '\t') {
      ++i;
      if (!tokens.empty() && tokens.back().kind != DateToken::Separator) {
        tokens.push_back(DateToken{DateToken::Separator, " ", 0, 0});
      }
    } else {
      if (!tokens.empty() && tokens.back().kind == DateToken::Separator &&
          tokens.back().text == " ") {
        tokens.back().text = std::string(1, c);
      } else {
        tokens.push_back(DateToken{DateToken::Separator, std::string(1, c), 0, 0});
      }
      ++i;
    }
  }
  while (!tokens.empty() && tokens.back().kind == DateToken::Separator &&
         tokens.back().text == " ") {
    tokens.pop_back();
  }
  return tokens;
}

int MonthFromName(const std::string& word) {
  static constexpr const char* kNames[] = {"january",   "february", "march",    "april",
                                           "may",       "june",     "july",     "august",
                                           "september", "october",  "november", "december"};
  if (word.size() < 3) return 0;
  const std::string lower = ToLowerText(word);
  for (int m = 0; m < 12; ++m) {
    const std::string name = kNames[m];
    if (lower.size() <= name.size() && name.compare(0, lower.size(), lower) == 0) return m + 1;
  }
  return 0;
}

int FullYear(const DateToken& token) {
  if (token.digits <= 2) return token.value < 30 ? 2000 + token.value : 1900 + token.value;
  return token.value;
}

// Reads "h:mm[:ss] [AM|PM]" starting at tokens[i]; the index moves past it.
std::optional<std::int64_t> ParseTimeTokens(const std::vector<DateToken>& tokens, std::size_t& i) {
  std::vector<int> parts;
  while (i < tokens.size() && tokens[i].kind == DateToken::Number && parts.size() < 3) {
    if (tokens[i].digits > 2) return std::nullopt;
    parts.push_back(tokens[i].value);
    ++i;
    if (i + 1 < tokens.size() && tokens[i].kind == DateToken::Separator && tokens[i].text == ":" &&
        tokens[i + 1].kind == DateToken::Number) {
      ++i;
    } else {
      break;
    }
  }
  if (parts.empty()) return std::nullopt;
  if (i < tokens.size() && tokens[i].kind == DateToken::Separator && tokens[i].text == " ") ++i;
  int hour = parts[0];
  if (i < tokens.size() && tokens[i].kind == DateToken::Word) {
    const std::string marker = ToLowerText(tokens[i].text);
    if (marker != "am" && marker != "pm") return std::nullopt;
    if (hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + (marker == "pm" ? 12 : 0);
    ++i;
  } else if (parts.size() < 2) {
    return std::nullopt;  // a lone number is not a time
  }
  const int minute = parts.size() > 1 ? parts[1] : 0;
  const int second = parts.size() > 2 ? parts[2] : 0;
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return hour * 3600 + minute * 60 + second;
}

bool IsMeridiem(const DateToken& token) {
  if (token.kind != DateToken::Word) return false;
  const std::string lower = ToLowerText(token.text);
  return lower == "am" || lower == "pm";
}

// "13:45", "1 PM", "1:45 PM".
bool IsTimeStart(const std::vector<DateToken>& tokens, std::size_t i) {
  if (i + 1 >= tokens.size() || tokens[i].kind != DateToken::Number) return false;
  const DateToken& next = tokens[i + 1];
  if (next.kind == DateToken::Separator && next.text == ":") return true;
  if (IsMeridiem(next)) return true;
  return next.kind == DateToken::Separator && next.text == " " && i + 2 < tokens.size() &&
         IsMeridiem(tokens[i + 2]);
}

// Reads the date part; the index moves past it.
std::optional<double> ParseDateTokens(const std::vector<DateToken>& tokens, std::size_t& i) {
  std::vector<const DateToken*> fields;
  char separator = 0;
  while (i < tokens.size() && fields.size() < 3) {
    const DateToken& token = tokens[i];
    if (token.kind == DateToken::Separator) return std::nullopt;
    fields.push_back(&token);
    ++i;
    if (fields.size() == 3 || i >= tokens.size()) break;
    const std::string& next = tokens[i].text;
    if (tokens[i].kind != DateToken::Separator) continue;  // "29Feb2024"
    const char sep = next == ", " ? ',' : next[0];
    if (sep == ':') return std::nullopt;
    if (sep == ' ' && IsTimeStart(tokens, i + 1)) {
      // "2/29/2024 13:45": the time follows; "Feb 29 2024" goes on.
      if (fields.size() >= 2) break;
    }
    if (separator == 0 && sep != ',') separator = sep;
    ++i;
  }
  int year = 0, month = 0, day = 0;
  int words = 0;
  for (const DateToken* field : fields)
    words += field->kind == DateToken::Word ? 1 : 0;
  if (words > 1) return std::nullopt;
  if (words == 1) {
    // Month name: "29 Feb 2024", "Feb 29, 2024", "29-Feb-24".
    std::vector<const DateToken*> numbers;
    for (const DateToken* field : fields) {
      if (field->kind == DateToken::Word) {
        month = MonthFromName(field->text);
      } else {
        numbers.push_back(field);
      }
    }
    if (month == 0 || numbers.empty()) return std::nullopt;
    if (numbers.size() == 1) {
      day = numbers[0]->value;
      year = CurrentSerial() >= 0 ? CivilFromSerial(CurrentSerial()).year : 2000;
    } else if (numbers[0]->digits >= 3) {
      year = numbers[0]->value, day = numbers[1]->value;
    } else {
      day = numbers[0]->value, year = FullYear(*numbers[1]);
    }
    return SerialOfValidDate(year, month, day);
  }
  if (fields.size() == 3) {
    if (fields[0]->digits >= 3) {
      year = fields[0]->value, month = fields[1]->value, day = fields[2]->value;
    } else {
      month = fields[0]->value, day = fields[1]->value, year = FullYear(*fields[2]);
      if (month > 12 && day <= 12) std::swap(month, day);
    }
    return SerialOfValidDate(year, month, day);
  }
  if (fields.size() == 2 && (separator == '/' || separator == '-')) {
    // Month and day of the current year.
    month = fields[0]->value, day = fields[1]->value;
    if (month > 12 && day <= 12) std::swap(month, day);
    return SerialOfValidDate(CivilFromSerial(CurrentSerial()).year, month, day);
  }
  return std::nullopt;
}

}  // namespace

bool InDateRange(double serial) {
  return serial >= kFirstSerial && serial < kLastSerial + 0.00001;
}

std::int64_t DayNumberFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  // Months beyond 1..12 carry into the year.
  year += FloorDivide(month - 1, 12);
  month = FloorModulo(month - 1, 12) + 1;
  // Days from 1970-01-01 of the first of the month (H. Hinnant's algorithm),
  // then the day added.
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = FloorDivide(year, 400);
  const std::int64_t yoe = year - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + (day - 1);
}

void CivilFromDayNumber(std::int64_t dayNumber, int& year, int& month, int& day) {
  const std::int64_t z = dayNumber + 719468;
  const std::int64_t era = FloorDivide(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

double SerialFromParts(std::int64_t dayNumber, std::int64_t secondOfDay) {
  const double whole = static_cast<double>(dayNumber - kEpochDayNumber);
  const double fraction = static_cast<double>(secondOfDay) / kSecondsPerDay;
  return whole >= 0 ? whole + fraction : whole - fraction;
}

void PartsFromSerial(double serial, std::int64_t& dayNumber, std::int64_t& secondOfDay) {
  const double whole = std::trunc(serial);
  const double fraction = std::fabs(serial - whole);
  dayNumber = static_cast<std::int64_t>(whole) + kEpochDayNumber;
  secondOfDay = std::llround(fraction * kSecondsPerDay);
  if (secondOfDay >= kSecondsPerDay) {
    ++dayNumber;
    secondOfDay -= kSecondsPerDay;
  }
}

CivilDateTime CivilFromSerial(double serial) {
  std::int64_t dayNumber = 0, second = 0;
  PartsFromSerial(serial, dayNumber, second);
  CivilDateTime civil;
  CivilFromDayNumber(dayNumber, civil.year, civil.month, civil.day);
  civil.hour = static_cast<int>(second / 3600);
  civil.minute = static_cast<int>(second / 60 % 60);
  civil.second = static_cast<int>(second % 60);
  return civil;
}

double SerialFromCivil(const CivilDateTime& civil) {
  return SerialFromParts(DayNumberFromCivil(civil.year, civil.month, civil.day),
                         civil.hour * 3600 + civil.minute * 60 + civil.second);
}

std::optional<double> DateSerial(std::int64_t year, std::int64_t month, std::int64_t day) {
  if (year >= 0 && year < 30) year += 2000;
  if (year >= 30 && year < 100) year += 1900;
  if (year < -100000 || year > 100000 || month < -1200000 || month > 1200000 || day < -40000000 ||
      day > 40000000) {
    return std::nullopt;
  }
  return ValidSerial(static_cast<double>(DayNumberFromCivil(year, month, day) - kEpochDayNumber));
}

std::optional<double> TimeSerial(std::int64_t hour, std::int64_t minute, std::int64_t second) {
  if (std::llabs(hour) > 24LL * 3660000 || std::llabs(minute) > 60LL * 24 * 3660000 ||
      std::llabs(second) > 86400LL * 3660000) {
    return std::nullopt;
  }
  const std::int64_t total = hour * 3600 + minute * 60 + second;
  return ValidSerial(SerialFromParts(kEpochDayNumber + FloorDivide(total, kSecondsPerDay),
                                     FloorModulo(total, kSecondsPerDay)));
}

std::optional<double> ParseDateText(std::string_view text) {
  const std::vector<DateToken> tokens = SplitDateText(text);
  if (tokens.empty()) return std::nullopt;
  std::size_t i = 0;
  std::optional<double> date;
  if (!IsTimeStart(tokens, 0)) {
    date = ParseDateTokens(tokens, i);
    if (!date) return std::nullopt;
    if (i < tokens.size() && tokens[i].kind == DateToken::Separator &&
        (tokens[i].text == " " || tokens[i].text == "T")) {
      ++i;
    } else if (i < tokens.size() && tokens[i].kind == DateToken::Word && tokens[i].text == "T") {
      ++i;
    }
  }
  std::int64_t second = 0;
  if (i < tokens.size()) {
    const std::optional<std::int64_t> time = ParseTimeTokens(tokens, i);
    if (!time || i != tokens.size()) return std::nullopt;
    second = *time;
  }
  const double day = date.value_or(0);
  return SerialFromParts(static_cast<std::int64_t>(day) + kEpochDayNumber, second);
}

std::string FormatDateText(double serial) {
  const CivilDateTime civil = CivilFromSerial(serial);
  char buffer[48];
  const bool hasTime = civil.hour != 0 || civil.minute != 0 || civil.second != 0;
  const bool hasDate = !(civil.year == 1899 && civil.month == 12 && civil.day == 30);
  if (!hasDate) {
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", civil.hour, civil.minute, civil.second);
  } else if (!hasTime) {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", civil.year, civil.month,
                  civil.day, civil.hour, civil.minute, civil.second);
  }
  return buffer;
}

int WeekdayOf(double serial, int firstDayOfWeek) {
  if (firstDayOfWeek < 1 || firstDayOfWeek > 7) firstDayOfWeek = 1;
  std::int64_t dayNumber = 0, second = 0;
  PartsFromSerial(serial, dayNumber, second);
  // 1970-01-01 was a Thursday: weekday 5 counted from Sunday.
  const std::int64_t sundayBased = FloorModulo(dayNumber + 4, 7);  // 0 = Sunday
  return static_cast<int>(FloorModulo(sundayBased - (firstDayOfWeek - 1), 7)) + 1;
}

std::optional<DateInterval> ParseDateInterval(std::string_view text) {
  const std::string lower = ToLowerText(text);
  if (lower == "yyyy") return DateInterval::Year;
  if (lower == "q") return DateInterval::Quarter;
  if (lower == "m") return DateInterval::Month;
  if (lower == "y") return DateInterval::DayOfYear;
  if (lower == "d") return DateInterval::Day;
  if (lower == "w") return DateInterval::Weekday;
  if (lower == "ww") return DateInterval::Week;
  if (lower == "h") return DateInterval::Hour;
  if (lower == "n") return DateInterval::Minute;
  if (lower == "s") return DateInterval::Second;
  return std::nullopt;
}

std::optional<double> DateAdd(DateInterval interval, std::int64_t count, double serial) {
  std::int64_t dayNumber = 0, second = 0;
  PartsFromSerial(serial, dayNumber, second);
  if (std::llabs(count) > 4000000000LL) return std::nullopt;
  std::int64_t months = 0;
  std::int64_t seconds = 0;
  switch (interval) {
    case DateInterval::Year:
      months = count * 12;
      break;
    case DateInterval::Quarter:
      months = count * 3;
      break;
    case DateInterval::Month:
      months = count;
      break;
    case DateInterval::DayOfYear:
    case DateInterval::Day:
    case DateInterval::Weekday:
      seconds = count * kSecondsPerDay;
      break;
    case DateInterval::Week:
      seconds = count * 7 * kSecondsPerDay;
      break;
    case DateInterval::Hour:
      seconds = count * 3600;
      break;
    case DateInterval::Minute:
      seconds = count * 60;
      break;
    case DateInterval::Second:
      seconds = count;
      break;
  }
  if (months != 0) {
    int year = 0, month = 0, day = 0;
    CivilFromDayNumber(dayNumber, year, month, day);
    const std::int64_t monthIndex = static_cast<std::int64_t>(year) * 12 + (month - 1) + months;
    const std::int64_t newYear = FloorDivide(monthIndex, 12);
    const int newMonth = static_cast<int>(FloorModulo(monthIndex, 12)) + 1;
    if (newYear < 100 || newYear > 9999) return std::nullopt;
    // The 31st plus one month is the last day of the shorter month.
    const int lastDay = DaysInMonth(static_cast<int>(newYear), newMonth);
    dayNumber = DayNumberFromCivil(newYear, newMonth, day < lastDay ? day : lastDay);
  }
  const std::int64_t total = second + seconds;
  dayNumber += FloorDivide(total, kSecondsPerDay);
  return ValidSerial(SerialFromParts(dayNumber, FloorModulo(total, kSecondsPerDay)));
}

std::int64_t DateDiff(DateInterval interval, double first, double second, int firstDayOfWeek) {
  std::int64_t day1 = 0, sec1 = 0, day2 = 0, sec2 = 0;
  PartsFromSerial(first, day1, sec1);
  PartsFromSerial(second, day2, sec2);
  int y1 = 0, m1 = 0, d1 = 0, y2 = 0, m2 = 0, d2 = 0;
  CivilFromDayNumber(day1, y1, m1, d1);
  CivilFromDayNumber(day2, y2, m2, d2);
  switch (interval) {
    case DateInterval::Year:
      return y2 - y1;
    case DateInterval::Quarter:
      return (y2 * 4 + (m2 - 1) / 3) - (y1 * 4 + (m1 - 1) / 3);
    case DateInterval::Month:
      return (y2 * 12 + m2) - (y1 * 12 + m1);
    case DateInterval::DayOfYear:
    case DateInterval::Day:
      return day2 - day1;
    case DateInterval::Weekday:
      return (day2 - day1) / 7;
    case DateInterval::Week: {
      // Counts the first days of the week between the two dates.
      const std::int64_t start1 = day1 - (WeekdayOf(first, firstDayOfWeek) - 1);
      const std::int64_t start2 = day2 - (WeekdayOf(second, firstDayOfWeek) - 1);
      return (start2 - start1) / 7;
    }
    case DateInterval::Hour:
      return (day2 * 24 + sec2 / 3600) - (day1 * 24 + sec1 / 3600);
    case DateInterval::Minute:
      return (day2 * 1440 + sec2 / 60) - (day1 * 1440 + sec1 / 60);
    case DateInterval::Second:
      return (day2 * kSecondsPerDay + sec2) - (day1 * kSecondsPerDay + sec1);
  }
  return 0;
}

namespace {

// The day number on which week 1 of the year begins.
std::int64_t FirstWeekStart(int year, int firstDayOfWeek, int firstWeekOfYear) {
  const std::int64_t januaryFirst = DayNumberFromCivil(year, 1, 1);
  const int weekday =
      WeekdayOf(static_cast<double>(januaryFirst - kEpochDayNumber), firstDayOfWeek);
  const std::int64_t weekStart = januaryFirst - (weekday - 1);
  const int daysInYear = 8 - weekday;  // of the week holding January 1st
  switch (firstWeekOfYear) {
    case 2:
      return daysInYear >= 4 ? weekStart : weekStart + 7;
    case 3:
      return weekday == 1 ? weekStart : weekStart + 7;
    default:
      return weekStart;
  }
}

std::int64_t WeekOfYear(double serial, int firstDayOfWeek, int firstWeekOfYear) {
  std::int64_t day = 0, second = 0;
  PartsFromSerial(serial, day, second);
  const std::int64_t weekStart = day - (WeekdayOf(serial, firstDayOfWeek) - 1);
  int year = 0, month = 0, dayOfMonth = 0;
  CivilFromDayNumber(day, year, month, dayOfMonth);
  std::int64_t first = FirstWeekStart(year, firstDayOfWeek, firstWeekOfYear);
  if (weekStart < first) first = FirstWeekStart(year - 1, firstDayOfWeek, firstWeekOfYear);
  return (weekStart - first) / 7 + 1;
}

}  // namespace

std::int64_t DatePart(DateInterval interval, double serial, int firstDayOfWeek,
                      int firstWeekOfYear) {
  const CivilDateTime civil = CivilFromSerial(serial);
  switch (interval) {
    case DateInterval::Year:
      return civil.year;
    case DateInterval::Quarter:
      return (civil.month - 1) / 3 + 1;
    case DateInterval::Month:
      return civil.month;
    case DateInterval::DayOfYear:
      return DayNumberFromCivil(civil.year, civil.month, civil.day) -
             DayNumberFromCivil(civil.year, 1, 1) + 1;
    case DateInterval::Day:
      return civil.day;
    case DateInterval::Weekday:
      return WeekdayOf(serial, firstDayOfWeek);
    case DateInterval::Week:
      return WeekOfYear(serial, firstDayOfWeek, firstWeekOfYear);
    case DateInterval::Hour:
      return civil.hour;
    case DateInterval::Minute:
      return civil.minute;
    case DateInterval::Second:
      return civil.second;
  }
  return 0;
}

double CurrentSerial() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  CivilDateTime civil;
  civil.year = local.tm_year + 1900;
  civil.month = local.tm_mon + 1;
  civil.day = local.tm_mday;
  civil.hour = local.tm_hour;
  civil.minute = local.tm_min;
  civil.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return SerialFromCivil(civil);
}

}  // namespace tablift::jet
