// Format with named and custom patterns, week numbers and boundaries crossed
// by DateDiff, and rounding half to even: the functions whose results a
// migrated query is most easily compared wrongly on.

#include <gtest/gtest.h>

#include "tests/data_access/jet_sql/query_runner.h"

namespace tablift::jet::testing {
namespace {

using I = std::int64_t;
using S = std::string;
const Value kNull = Null{};

TEST(JetSqlFormat, NamedDateAndNumberFormats) {
  const std::string moment = "#2024-02-29 13:45:07#";
  EXPECT_EQ(Eval("Format(" + moment + ", 'Short Date')"), Value(S("2/29/2024")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'Long Date')"), Value(S("Thursday, February 29, 2024")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'Medium Date')"), Value(S("29-Feb-24")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'Long Time')"), Value(S("1:45:07 PM")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'Short Time')"), Value(S("13:45")));
  EXPECT_EQ(Eval("Format(" + moment + ")"), Value(S("2/29/2024 1:45:07 PM")));
  EXPECT_EQ(Eval("Format(#2024-02-29#)"), Value(S("2/29/2024")));

  EXPECT_EQ(Eval("Format(1234.5, 'General Number')"), Value(S("1234.5")));
  EXPECT_EQ(Eval("Format(1234.5, 'Currency')"), Value(S("$1,234.50")));
  EXPECT_EQ(Eval("Format(-1234.5, 'Currency')"), Value(S("($1,234.50)")));
  EXPECT_EQ(Eval("Format(0.125, 'Fixed')"), Value(S("0.13")));
  EXPECT_EQ(Eval("Format(1234, 'Standard')"), Value(S("1,234.00")));
  EXPECT_EQ(Eval("Format(0.256, 'Percent')"), Value(S("25.60%")));
  EXPECT_EQ(Eval("Format(1234.5, 'Scientific')"), Value(S("1.23E+03")));
  EXPECT_EQ(Eval("Format(0, 'Yes/No')"), Value(S("No")));
  EXPECT_EQ(Eval("Format(-1, 'Yes/No')"), Value(S("Yes")));
  EXPECT_EQ(Eval("Format(Nothing, 'Short Date')"), kNull);
  EXPECT_EQ(Eval("Format(5)"), Value(S("5")));
}

TEST(JetSqlFormat, CustomPatterns) {
  const std::string moment = "#2024-02-29 13:05:07#";
  EXPECT_EQ(Eval("Format(" + moment + ", 'yyyy')"), Value(S("2024")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'mm/dd/yyyy')"), Value(S("02/29/2024")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'dd.mm.yy hh:mm:ss')"), Value(S("29.02.24 13:05:07")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'h:nn am/pm')"), Value(S("1:05 pm")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'mmmm d, yyyy (ddd)')"),
            Value(S("February 29, 2024 (Thu)")));
  EXPECT_EQ(Eval("Format(" + moment + ", '\"Qtr \"q')"), Value(S("Qtr 1")));
  EXPECT_EQ(Eval("Format(" + moment + ", 'y')"), Value(S("60")));
  // A backslash gives the next character as it is, a placeholder too.
  EXPECT_EQ(Eval("Format(" + moment + ", 'yyyy\\y')"), Value(S("2024y")));
  // Quoted text is text: an am/pm in it keeps the 24-hour clock.
  EXPECT_EQ(Eval("Format(" + moment + ", 'h:nn \"am/pm\"')"), Value(S("13:05 am/pm")));
  EXPECT_EQ(Eval("Format(45351, 'yyyy-mm-dd')"), Value(S("2024-02-29")));

  EXPECT_EQ(Eval("Format(1234.5, '0.00')"), Value(S("1234.50")));
  EXPECT_EQ(Eval("Format(1234.5, '#,##0')"), Value(S("1,235")));
  EXPECT_EQ(Eval("Format(1234567.891, '#,##0.00')"), Value(S("1,234,567.89")));
  EXPECT_EQ(Eval("Format(7, '000')"), Value(S("007")));
  EXPECT_EQ(Eval("Format(0.5, '#.##')"), Value(S(".5")));
  EXPECT_EQ(Eval("Format(-2, '0.0')"), Value(S("-2.0")));
  EXPECT_EQ(Eval("Format(-2, '0.0;(0.0);\"zero\"')"), Value(S("(2.0)")));
  EXPECT_EQ(Eval("Format(0, '0.0;(0.0);\"zero\"')"), Value(S("zero")));
  EXPECT_EQ(Eval("Format(3, '\\#0\\0')"), Value(S("#30")));
  // A backslash inside quotes is text, not an escape of the closing quote:
  // the semicolon after it still starts the negative section.
  EXPECT_EQ(Eval("Format(-1, '0\"\\\";0\"neg\"')"), Value(S("1neg")));
  EXPECT_EQ(Eval("Format(1, '0\"\\\";0\"neg\"')"), Value(S("1\\")));
  EXPECT_EQ(Eval("Format(0.075, '0.0%')"), Value(S("7.5%")));
  EXPECT_EQ(Eval("Format('abc', '>')"), Value(S("ABC")));
  // Beyond a Double's digits, and beyond the dates.
  EXPECT_EQ(Eval("Format(1E+300, '0.00')"),
            Value(S(std::string("1") + std::string(300, '0') + ".00")));
  EXPECT_NE(EvalError("Format(1E+300, 'yyyy')").find("Overflow"), std::string::npos);
  EXPECT_EQ(Eval("Format('soon', 'yyyy')"), Value(S("soon")));
}

TEST(JetSqlFormat, FormatFunctionsAndNames) {
  EXPECT_EQ(Eval("FormatNumber(1234.567)"), Value(S("1,234.57")));
  EXPECT_EQ(Eval("FormatNumber(0.5, 0)"), Value(S("1")));
  EXPECT_EQ(Eval("FormatNumber(0.25, 1, 0, 0, 0)"), Value(S(".3")));
  EXPECT_EQ(Eval("FormatNumber(-1234.5, 1, -1, -1)"), Value(S("(1,234.5)")));
  EXPECT_EQ(Eval("FormatCurrency(-1)"), Value(S("($1.00)")));
  EXPECT_EQ(Eval("FormatCurrency(1234.5, 0)"), Value(S("$1,235")));
  EXPECT_EQ(Eval("FormatPercent(0.1234)"), Value(S("12.34%")));
  EXPECT_EQ(Eval("FormatDateTime(#2024-02-29 13:45:07#, 1)"),
            Value(S("Thursday, February 29, 2024")));
  EXPECT_EQ(Eval("FormatDateTime(#2024-02-29 13:45:07#, 4)"), Value(S("13:45")));
  EXPECT_EQ(Eval("FormatDateTime(#13:45:07#)"), Value(S("1:45:07 PM")));
  EXPECT_EQ(Eval("MonthName(2)"), Value(S("February")));
  EXPECT_EQ(Eval("MonthName(12, True)"), Value(S("Dec")));
  EXPECT_EQ(Eval("WeekdayName(1)"), Value(S("Sunday")));
  EXPECT_EQ(Eval("WeekdayName(1, True, 2)"), Value(S("Mon")));
  EXPECT_NE(EvalError("MonthName(13)").find("Invalid procedure call"), std::string::npos);
  EXPECT_EQ(Eval("StrConv('hELLO wORLD', 3)"), Value(S("Hello World")));
  EXPECT_EQ(Eval("StrConv('straße', 1)"), Value(S("STRAßE")));
  EXPECT_EQ(Eval("CVDate('2/29/2024')"), Value(DateTime{45351}));
}

TEST(JetSqlDateFunctions, WeeksOfTheYear) {
  // Week 1 holds January 1st unless told otherwise.
  EXPECT_EQ(Eval("DatePart('ww', #2024-12-31#)"), Value(I{53}));
  EXPECT_EQ(Eval("DatePart('ww', #2024-01-06#)"), Value(I{1}));
  EXPECT_EQ(Eval("DatePart('ww', #2024-01-07#)"), Value(I{2}));
  // Monday weeks, the first with four days: 2021-01-01 is in 2020's week 53.
  EXPECT_EQ(Eval("DatePart('ww', #2021-01-01#, 2, 2)"), Value(I{53}));
  EXPECT_EQ(Eval("DatePart('ww', #2021-01-04#, 2, 2)"), Value(I{1}));
  // The first full week: 2021-01-01 (a Friday) is in 2020's last one.
  EXPECT_EQ(Eval("DatePart('ww', #2021-01-01#, 1, 3)"), Value(I{52}));
  EXPECT_EQ(Eval("DatePart('ww', #2021-01-03#, 1, 3)"), Value(I{1}));
  EXPECT_EQ(Eval("DatePart('q', #2024-12-31#, 1, 0)"), Value(I{4}));
  EXPECT_EQ(Eval("DatePart('w', #2024-02-29#, 2)"), Value(I{4}));
  EXPECT_EQ(Eval("DatePart('y', #2024-12-31#)"), Value(I{366}));
  EXPECT_NE(EvalError("DatePart('ww', #2024-01-01#, 1, 4)").find("Invalid procedure call"),
            std::string::npos);
}

TEST(JetSqlDateFunctions, DateDiffCountsBoundariesCrossed) {
  EXPECT_EQ(Eval("DateDiff('yyyy', #2024-12-31#, #2025-01-01#)"), Value(I{1}));
  EXPECT_EQ(Eval("DateDiff('yyyy', #2024-01-01#, #2023-12-31#)"), Value(I{-1}));
  EXPECT_EQ(Eval("DateDiff('q', #2024-03-31#, #2024-04-01#)"), Value(I{1}));
  EXPECT_EQ(Eval("DateDiff('d', #2024-02-29 23:00#, #2024-03-01 01:00#)"), Value(I{1}));
  EXPECT_EQ(Eval("DateDiff('h', #2024-01-01 23:59#, #2024-01-02 00:01#)"), Value(I{1}));
  EXPECT_EQ(Eval("DateDiff('n', #10:00:59#, #10:01:00#)"), Value(I{1}));
  EXPECT_EQ(Eval("DateDiff('s', #10:00:59#, #10:01:00#)"), Value(I{1}));
  // Saturday to Sunday crosses a Sunday-started week but not a Monday one.
  EXPECT_EQ(Eval("DateDiff('ww', #2024-03-02#, #2024-03-03#)"), Value(I{1}));
  EXPECT_EQ(Eval("DateDiff('ww', #2024-03-02#, #2024-03-03#, 2)"), Value(I{0}));
  EXPECT_EQ(Eval("DateDiff('ww', #2024-03-02#, #2024-03-03#, 2, 2)"), Value(I{0}));
  // 'w' counts whole weeks.
  EXPECT_EQ(Eval("DateDiff('w', #2024-03-01#, #2024-03-07#)"), Value(I{0}));
  EXPECT_EQ(Eval("DateDiff('w', #2024-03-01#, #2024-03-08#)"), Value(I{1}));
  EXPECT_EQ(Eval("DateAdd('m', 1, #2024-01-31#)"), Value(DateTime{45351}));
  EXPECT_EQ(Eval("DateAdd('yyyy', 1, #2024-02-29#)"), Value(DateTime{45716}));
  EXPECT_EQ(Eval("DateAdd('q', -1, #2024-05-31#)"), Value(DateTime{45351}));
}

TEST(JetSqlNumberFunctions, HalvesRoundToEven) {
  EXPECT_EQ(Eval("Round(0.5)"), Value(0.0));
  EXPECT_EQ(Eval("Round(1.5)"), Value(2.0));
  EXPECT_EQ(Eval("Round(CCur(2.345), 2)"), Value(Currency{23400}));
  EXPECT_EQ(Eval("Round(CCur(2.355), 2)"), Value(Currency{23600}));
  EXPECT_EQ(Eval("CInt(0.5)"), Value(I{0}));
  EXPECT_EQ(Eval("CInt(1.5)"), Value(I{2}));
  EXPECT_EQ(Eval("CLng(-2.5)"), Value(I{-2}));
  EXPECT_EQ(Eval("CByte(2.5)"), Value(I{2}));
  EXPECT_EQ(Eval("Int(-2.5)"), Value(-3.0));
  EXPECT_EQ(Eval("Fix(-2.5)"), Value(-2.0));
  EXPECT_EQ(Eval("Val('12abc')"), Value(12.0));
  EXPECT_EQ(Eval("Partition(7, 0, 99, 5)"), Value(S("  5:  9")));
  EXPECT_EQ(Eval("Partition(100, 0, 99, 5)"), Value(S("100:   ")));
  EXPECT_EQ(Eval("Partition(-3, 0, 99, 5)"), Value(S("   : -1")));
  EXPECT_EQ(Eval("Partition(10, 0, 10, 4)"), Value(S("  8: 10")));
  EXPECT_EQ(Eval("Partition(Nothing, 0, 10, 4)"), kNull);
  EXPECT_EQ(Eval("Nz(Nothing, 'none')"), Value(S("none")));
  EXPECT_EQ(Eval("Switch(Id = 2, 'two', Id = 1, 'one')"), Value(S("one")));
  EXPECT_EQ(Eval("Choose(2, 'a', 'b', 'c')"), Value(S("b")));
  EXPECT_EQ(Eval("IIf(Nothing Is Null, 1, 1 / 0)"), Value(1.0));
}

}  // namespace
}  // namespace tablift::jet::testing
