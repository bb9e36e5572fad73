// Date functions: Year, Month, Day, Hour, Minute, Second, Weekday, Date, Now,
// Time, DateSerial, TimeSerial, DateValue, TimeValue, DateAdd, DateDiff,
// DatePart, IsDate.

#include <cmath>

#include "data_access/jet/sql/builtin_functions.h"
#include "data_access/jet/sql/date_arithmetic.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

[[noreturn]] void Overflow() {
  throw EvaluationError("Overflow");
}

Value DatePartOf(ArgumentList& a, int CivilDateTime::*part) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return Null{};
  return static_cast<std::int64_t>(CivilFromSerial(ToDateSerial(v)).*part);
}

Value Year(ArgumentList& a) {
  return DatePartOf(a, &CivilDateTime::year);
}
Value Month(ArgumentList& a) {
  return DatePartOf(a, &CivilDateTime::month);
}
Value Day(ArgumentList& a) {
  return DatePartOf(a, &CivilDateTime::day);
}
Value Hour(ArgumentList& a) {
  return DatePartOf(a, &CivilDateTime::hour);
}
Value Minute(ArgumentList& a) {
  return DatePartOf(a, &CivilDateTime::minute);
}
Value Second(ArgumentList& a) {
  return DatePartOf(a, &CivilDateTime::second);
}

int FirstDayArgument(ArgumentList& a, std::size_t index) {
  if (index >= a.size()) return 1;
  const std::int64_t first = IntegerArgument(a, index);
  if (first < 0 || first > 7) InvalidArgument();
  return first == 0 ? 1 : static_cast<int>(first);
}

Value Weekday(ArgumentList& a) {
  const Value v = a.evaluate(0);
  const int first = FirstDayArgument(a, 1);
  if (IsNull(v)) return Null{};
  return static_cast<std::int64_t>(WeekdayOf(ToDateSerial(v), first));
}

double WholeDays(double serial) {
  return std::trunc(serial);
}

double TimeOfDay(double serial) {
  return std::fabs(serial - std::trunc(serial));
}

Value Today(ArgumentList&) {
  return DateTime{WholeDays(CurrentSerial())};
}

Value Now(ArgumentList&) {
  return DateTime{CurrentSerial()};
}

Value TimeNow(ArgumentList&) {
  return DateTime{TimeOfDay(CurrentSerial())};
}

Value DateSerialOf(ArgumentList& a) {
  const Value y = a.evaluate(0), m = a.evaluate(1), d = a.evaluate(2);
  if (IsNull(y) || IsNull(m) || IsNull(d)) return Null{};
  const std::optional<double> serial = DateSerial(ToInteger(y), ToInteger(m), ToInteger(d));
  if (!serial) Overflow();
  return DateTime{*serial};
}

Value TimeSerialOf(ArgumentList& a) {
  const Value h = a.evaluate(0), m = a.evaluate(1), s = a.evaluate(2);
  if (IsNull(h) || IsNull(m) || IsNull(s)) return Null{};
  const std::optional<double> serial = TimeSerial(ToInteger(h), ToInteger(m), ToInteger(s));
  if (!serial) Overflow();
  return DateTime{*serial};
}

Value DateValue(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return Null{};
  return DateTime{WholeDays(ToDateSerial(v))};
}

Value TimeValue(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return Null{};
  return DateTime{TimeOfDay(ToDateSerial(v))};
}

DateInterval IntervalArgument(ArgumentList& a, std::size_t index) {
  const Value v = a.evaluate(index);
  if (IsNull(v)) throw EvaluationError("Invalid use of Null");
  const std::optional<DateInterval> interval = ParseDateInterval(TextOf(v));
  if (!interval) InvalidArgument();
  return *interval;
}

Value DateAddOf(ArgumentList& a) {
  const DateInterval interval = IntervalArgument(a, 0);
  const Value count = a.evaluate(1), date = a.evaluate(2);
  if (IsNull(count) || IsNull(date)) return Null{};
  const std::optional<double> serial = DateAdd(interval, ToInteger(count), ToDateSerial(date));
  if (!serial) Overflow();
  return DateTime{*serial};
}

// 0 stands for the system setting, the week of January 1st.
int FirstWeekArgument(ArgumentList& a, std::size_t index) {
  if (index >= a.size()) return 1;
  const std::int64_t first = IntegerArgument(a, index);
  if (first < 0 || first > 3) InvalidArgument();
  return first == 0 ? 1 : static_cast<int>(first);
}

Value DateDiffOf(ArgumentList& a) {
  const DateInterval interval = IntervalArgument(a, 0);
  const Value first = a.evaluate(1), second = a.evaluate(2);
  const int firstDay = FirstDayArgument(a, 3);
  // The first week of the year changes no count of weeks; it is checked only.
  FirstWeekArgument(a, 4);
  if (IsNull(first) || IsNull(second)) return Null{};
  return DateDiff(interval, ToDateSerial(first), ToDateSerial(second), firstDay);
}

Value DatePartOfInterval(ArgumentList& a) {
  const DateInterval interval = IntervalArgument(a, 0);
  const Value date = a.evaluate(1);
  const int firstDay = FirstDayArgument(a, 2);
  const int firstWeek = FirstWeekArgument(a, 3);
  if (IsNull(date)) return Null{};
  return DatePart(interval, ToDateSerial(date), firstDay, firstWeek);
}

Value IsDate(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (std::holds_alternative<DateTime>(v)) return true;
  if (const auto* text = std::get_if<std::string>(&v)) {
    const std::optional<double> serial = ParseDateText(*text);
    return serial.has_value() && InDateRange(*serial);
  }
  return false;
}

constexpr FunctionDef kDateFunctions[] = {
    {"Year", 1, 1, Year, FixedType<JetType::Long>},
    {"Month", 1, 1, Month, FixedType<JetType::Long>},
    {"Day", 1, 1, Day, FixedType<JetType::Long>},
    {"Hour", 1, 1, Hour, FixedType<JetType::Long>},
    {"Minute", 1, 1, Minute, FixedType<JetType::Long>},
    {"Second", 1, 1, Second, FixedType<JetType::Long>},
    {"Weekday", 1, 2, Weekday, FixedType<JetType::Long>},
    {"Date", 0, 0, Today, FixedType<JetType::DateTime>},
    {"Now", 0, 0, Now, FixedType<JetType::DateTime>},
    {"Time", 0, 0, TimeNow, FixedType<JetType::DateTime>},
    {"DateSerial", 3, 3, DateSerialOf, FixedType<JetType::DateTime>},
    {"TimeSerial", 3, 3, TimeSerialOf, FixedType<JetType::DateTime>},
    {"DateValue", 1, 1, DateValue, FixedType<JetType::DateTime>},
    {"TimeValue", 1, 1, TimeValue, FixedType<JetType::DateTime>},
    {"DateAdd", 3, 3, DateAddOf, FixedType<JetType::DateTime>},
    {"DateDiff", 3, 5, DateDiffOf, FixedType<JetType::Long>},
    {"DatePart", 2, 4, DatePartOfInterval, FixedType<JetType::Long>},
    {"IsDate", 1, 1, IsDate, FixedType<JetType::Boolean>},
};

}  // namespace

std::span<const FunctionDef> DateFunctions() {
  return kDateFunctions;
}

}  // namespace tablift::jet
