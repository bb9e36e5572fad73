#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tablift::jet {

// Dates are Access serials: days since 1899-12-30, the fraction being the time
// of day. Before that day the whole part counts back and the fraction still
// counts forward (-1.25 is 1899-12-29 06:00), as in Access.
struct CivilDateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Access's range: 100-01-01 to 9999-12-31.
constexpr double kFirstSerial = -657434;
constexpr double kLastSerial = 2958465.99999;
bool InDateRange(double serial);

// The day number of a calendar date (any month and day, so 2024-13-01 is
// 2025-01-01) and back; whole days, without the negative-serial rule.
std::int64_t DayNumberFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);
void CivilFromDayNumber(std::int64_t dayNumber, int& year, int& month, int& day);

double SerialFromParts(std::int64_t dayNumber, std::int64_t secondOfDay);
// The date's day number and the second of its day, rounded to whole seconds.
void PartsFromSerial(double serial, std::int64_t& dayNumber, std::int64_t& secondOfDay);

CivilDateTime CivilFromSerial(double serial);
double SerialFromCivil(const CivilDateTime& civil);

// DateSerial: months and days outside their range carry over; years 0-29 are
// 2000-2029 and 30-99 are 1930-1999. Empty outside the date range.
std::optional<double> DateSerial(std::int64_t year, std::int64_t month, std::int64_t day);
std::optional<double> TimeSerial(std::int64_t hour, std::int64_t minute, std::int64_t second);

// Date text as Access reads it in #...# literals and conversions: ISO order
// (2024-02-29, 2024/2/29), US order (2/29/2024, 2-29-24; a first number above
// 12 is taken as the day), month names (29 Feb 2024, Feb 29, 2024), each with
// an optional time (13:45, 1:45:07 PM), or a time alone. Empty when the text
// is not a valid date.
std::optional<double> ParseDateText(std::string_view text);

// "2024-02-29 13:45:07"; the date alone at midnight, the time alone on day 0
// (1899-12-30, the day of time-only values).
std::string FormatDateText(double serial);

// 1 (the first day of the week) to 7; firstDayOfWeek 1 is Sunday, 2 Monday ...
// 0 stands for the system setting, Sunday.
int WeekdayOf(double serial, int firstDayOfWeek);

// DateAdd, DateDiff and DatePart intervals: yyyy q m y d w ww h n s.
enum class DateInterval {
  Year,
  Quarter,
  Month,
  DayOfYear,
  Day,
  Weekday,
  Week,
  Hour,
  Minute,
  Second
};
std::optional<DateInterval> ParseDateInterval(std::string_view text);

std::optional<double> DateAdd(DateInterval interval, std::int64_t count, double serial);
std::int64_t DateDiff(DateInterval interval, double first, double second, int firstDayOfWeek);
// firstWeekOfYear: 1 the week of January 1st is week 1; 2 the first week
// with at least four days of the year; 3 the first full week. A date before
// week 1 is in the last week of the year before.
std::int64_t DatePart(DateInterval interval, double serial, int firstDayOfWeek,
                      int firstWeekOfYear = 1);

// The local date and time of the machine, as Now() gives it.
double CurrentSerial();

}  // namespace tablift::jet
