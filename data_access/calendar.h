#pragma once

namespace tablift {

// The proleptic Gregorian calendar, which both Access and MySQL use for every
// year they hold.
bool IsLeapYear(int year);
// The days of `month` (1-12) in `year`.
int DaysInMonth(int year, int month);

}  // namespace tablift
