// Built-in functions: text, dates, numbers and conversions.

#include <gtest/gtest.h>

#include "tests/data_access/jet_sql/query_runner.h"

namespace tablift::jet::testing {
namespace {

using I = std::int64_t;
const Value kNull = Null{};

// 2024-02-29 is serial 45351.
Value Date(double serial) {
  return DateTime{serial};
}

TEST(JetSqlFunctions, TextCountsCharacters) {
  EXPECT_EQ(Eval("Len('Straße')"), Value(I{6}));
  EXPECT_EQ(Eval("Len(12345)"), Value(I{5}));
  EXPECT_EQ(Eval("Len(Nothing)"), kNull);
  EXPECT_EQ(Eval("Left('Äpfel', 2)"), Value("Äp"));
  EXPECT_EQ(Eval("Right('Äpfel', 3)"), Value("fel"));
  EXPECT_EQ(Eval("Right('ab', 5)"), Value("ab"));
  EXPECT_EQ(Eval("Mid('Äpfel', 2, 2)"), Value("pf"));
  EXPECT_EQ(Eval("Mid('Äpfel', 3)"), Value("fel"));
  EXPECT_EQ(Eval("Mid('abc', 5)"), Value(""));
  EXPECT_EQ(Eval("Left$(Nothing, 2)"), kNull);
  EXPECT_EQ(Eval("UCase('äpfel é ÿ')"), Value("ÄPFEL É Ÿ"));
  EXPECT_EQ(Eval("LCase('ÀÉÎ ŁÓDŹ')"), Value("àéî łódź"));
  EXPECT_EQ(Eval("Trim('  a b  ') & '|'"), Value("a b|"));
  EXPECT_EQ(Eval("LTrim('  a  ') & '|'"), Value("a  |"));
  EXPECT_EQ(Eval("RTrim('  a  ') & '|'"), Value("  a|"));
  EXPECT_EQ(Eval("InStr('Hello World', 'o')"), Value(I{5}));
  EXPECT_EQ(Eval("InStr(6, 'Hello World', 'o')"), Value(I{8}));
  EXPECT_EQ(Eval("InStr('Hello', 'L')"), Value(I{3}));
  EXPECT_EQ(Eval("InStr(1, 'Hello', 'L', 0)"), Value(I{0}));
  EXPECT_EQ(Eval("InStr('Äpfel', 'F')"), Value(I{3}));
  EXPECT_EQ(Eval("InStr('abc', 'z')"), Value(I{0}));
  EXPECT_EQ(Eval("InStr(Nothing, 'a')"), kNull);
  EXPECT_EQ(Eval("InStrRev('a.b.c', '.')"), Value(I{4}));
  EXPECT_EQ(Eval("Replace('a-b-c', '-', '+')"), Value("a+b+c"));
  EXPECT_EQ(Eval("Replace('aAa', 'a', 'x')"), Value("xxx"));
  EXPECT_EQ(Eval("Replace('aAa', 'a', 'x', 1, -1, 0)"), Value("xAx"));
  EXPECT_EQ(Eval("Replace('a-b-c', '-', '', 1, 1)"), Value("ab-c"));
  EXPECT_EQ(Eval("Space(3) & '|'"), Value("   |"));
  EXPECT_EQ(Eval("String(3, 'xy')"), Value("xxx"));
  EXPECT_EQ(Eval("String(2, 65)"), Value("AA"));
  EXPECT_EQ(Eval("StrComp('abc', 'ABD')"), Value(I{-1}));
  EXPECT_EQ(Eval("Chr(233) & Asc('A')"), Value("é65"));
  EXPECT_EQ(Eval("UCase(Left(\"it's\", 4))"), Value("IT'S"));

  EXPECT_NE(EvalError("Mid('abc', 0)").find("Invalid procedure call"), std::string::npos);
  EXPECT_NE(EvalError("Left('abc', -1)").find("Invalid procedure call"), std::string::npos);
}

TEST(JetSqlFunctions, NumbersAndConversions) {
  // Banker's rounding, as Access rounds.
  EXPECT_EQ(Eval("CLng(2.5)"), Value(I{2}));
  EXPECT_EQ(Eval("CLng(3.5)"), Value(I{4}));
  EXPECT_EQ(Eval("CLng(-2.5)"), Value(I{-2}));
  EXPECT_EQ(Eval("CLng(' 12 ')"), Value(I{12}));
  EXPECT_EQ(Eval("CInt(CCur(1.5))"), Value(I{2}));
  EXPECT_EQ(Eval("Round(2.5)"), Value(2.0));
  EXPECT_EQ(Eval("Round(3.5)"), Value(4.0));
  EXPECT_EQ(Eval("Round(-2.5)"), Value(-2.0));
  EXPECT_EQ(Eval("Round(2.675, 2)"), Value(2.68));
  EXPECT_EQ(Eval("Round(0.125, 2)"), Value(0.12));
  EXPECT_EQ(Eval("Round(CCur(1.2345), 3)"), Value(Currency{12340}));
  EXPECT_EQ(Eval("Round(7)"), Value(I{7}));
  EXPECT_EQ(Eval("Int(-2.5)"), Value(-3.0));
  EXPECT_EQ(Eval("Fix(-2.5)"), Value(-2.0));
  EXPECT_EQ(Eval("Int(CCur(-1.5))"), Value(Currency{-20000}));
  EXPECT_EQ(Eval("Abs(-3)"), Value(I{3}));
  EXPECT_EQ(Eval("Sgn(-0.5)"), Value(I{-1}));
  EXPECT_EQ(Eval("Sqr(16)"), Value(4.0));
  EXPECT_EQ(Eval("Val('  12 34abc')"), Value(1234.0));
  EXPECT_EQ(Eval("Val('1e3x')"), Value(1000.0));
  EXPECT_EQ(Eval("Val('-.5')"), Value(-0.5));
  EXPECT_EQ(Eval("Val('abc')"), Value(0.0));
  EXPECT_EQ(Eval("Val('&H1F')"), Value(31.0));
  EXPECT_EQ(Eval("CStr(1.5)"), Value("1.5"));
  EXPECT_EQ(Eval("CStr(0.1 + 0.2)"), Value("0.3"));
  EXPECT_EQ(Eval("CStr(1e20)"), Value("1E+20"));
  EXPECT_EQ(Eval("CStr(True)"), Value("True"));
  EXPECT_EQ(Eval("CStr(CCur(2.5))"), Value("2.5"));
  EXPECT_EQ(Eval("CDbl('1.25')"), Value(1.25));
  EXPECT_EQ(Eval("CCur('1.23456')"), Value(Currency{12346}));
  EXPECT_EQ(Eval("CBool('True')"), Value(true));
  EXPECT_EQ(Eval("CBool(0)"), Value(false));
  EXPECT_EQ(Eval("Hex(255) & Oct(8)"), Value("FF10"));
  EXPECT_EQ(Eval("IIf(1 > 2, 'a', 'b')"), Value("b"));
  // Only the branch taken is evaluated.
  EXPECT_EQ(Eval("IIf(True, 1, 1 / 0)"), Value(1.0));
  EXPECT_EQ(Eval("Nz(Nothing, 5)"), Value(I{5}));
  EXPECT_EQ(Eval("Nz(Nothing)"), Value(""));
  EXPECT_EQ(Eval("Switch(Id = 2, 'two', Id = 1, 'one')"), Value("one"));
  EXPECT_EQ(Eval("Choose(2, 'a', 'b', 'c')"), Value("b"));
  EXPECT_EQ(Eval("IsNull(Nothing)"), Value(true));
  EXPECT_EQ(Eval("IsNumeric('12.5')"), Value(true));
  EXPECT_EQ(Eval("IsNumeric('12a')"), Value(false));

  EXPECT_NE(EvalError("CInt(32768)").find("Overflow"), std::string::npos);
  EXPECT_NE(EvalError("CLng(Nothing)").find("Invalid use of Null"), std::string::npos);
  EXPECT_NE(EvalError("CDbl('abc')").find("Type mismatch"), std::string::npos);
  EXPECT_NE(EvalError("Sqr(-1)").find("Invalid procedure call"), std::string::npos);
}

TEST(JetSqlFunctions, DatesLiteralsAndArithmetic) {
  const double time = (13 * 3600 + 45 * 60 + 7) / 86400.0;
  EXPECT_EQ(Eval("#2024-02-29#"), Date(45351));
  EXPECT_EQ(Eval("#2/29/2024#"), Date(45351));
  EXPECT_EQ(Eval("#2/29/2024 13:45:07#"), Date(45351 + time));
  EXPECT_EQ(Eval("#2024-02-29 1:45:07 PM#"), Date(45351 + time));
  EXPECT_EQ(Eval("#29 Feb 2024#"), Date(45351));
  EXPECT_EQ(Eval("#Feb 29, 2024#"), Date(45351));
  EXPECT_EQ(Eval("#13:45:07#"), Date(time));
  // Month first, as Access reads dates in SQL; a first number above 12 can
  // only be the day.
  EXPECT_EQ(Eval("Month(#1/2/2024#)"), Value(I{1}));
  EXPECT_EQ(Eval("Month(#13/2/2024#)"), Value(I{2}));
  EXPECT_EQ(Eval("Year(#1/2/99#)"), Value(I{1999}));
  EXPECT_EQ(Eval("Year(#1/2/29#)"), Value(I{2029}));

  const std::string moment = "#2024-02-29 13:45:07#";
  EXPECT_EQ(Eval("Year(" + moment + ")"), Value(I{2024}));
  EXPECT_EQ(Eval("Month(" + moment + ")"), Value(I{2}));
  EXPECT_EQ(Eval("Day(" + moment + ")"), Value(I{29}));
  EXPECT_EQ(Eval("Hour(" + moment + ")"), Value(I{13}));
  EXPECT_EQ(Eval("Minute(" + moment + ")"), Value(I{45}));
  EXPECT_EQ(Eval("Second(" + moment + ")"), Value(I{7}));
  EXPECT_EQ(Eval("Weekday(#2024-02-29#)"), Value(I{5}));
  EXPECT_EQ(Eval("Weekday(#2024-02-29#, 2)"), Value(I{4}));
  EXPECT_EQ(Eval("Year('2024-02-29')"), Value(I{2024}));
  EXPECT_EQ(Eval("Day(Nothing)"), kNull);
  // Before 1899-12-30 the time still counts forward from the day.
  EXPECT_EQ(Eval("Day(CDate(-1.25)) & ' ' & Hour(CDate(-1.25))"), Value("29 6"));

  EXPECT_EQ(Eval("DateSerial(2024, 2, 30)"), Date(45352));
  EXPECT_EQ(Eval("DateSerial(2024, 13, 1)"), Eval("#2025-01-01#"));
  EXPECT_EQ(Eval("DateSerial(2024, 3, 0)"), Date(45351));
  EXPECT_EQ(Eval("DateSerial(24, 2, 29)"), Date(45351));
  EXPECT_EQ(Eval("DateAdd('m', 1, #2024-01-31#)"), Date(45351));
  EXPECT_EQ(Eval("DateAdd('yyyy', 1, #2024-02-29#)"), Eval("#2025-02-28#"));
  EXPECT_EQ(Eval("DateAdd('h', 25, #2024-02-29#)"), Date(45352 + 1 / 24.0));
  EXPECT_EQ(Eval("DateDiff('d', #2024-02-28#, #2024-03-01#)"), Value(I{2}));
  EXPECT_EQ(Eval("DateDiff('m', #2024-01-31#, #2024-02-01#)"), Value(I{1}));
  EXPECT_EQ(Eval("DateDiff('yyyy', #2023-12-31#, #2024-01-01#)"), Value(I{1}));
  EXPECT_EQ(Eval("DatePart('q', #2024-08-01#)"), Value(I{3}));
  EXPECT_EQ(Eval("#2024-02-29# + 1"), Date(45352));
  EXPECT_EQ(Eval("#2024-03-01# - #2024-02-28#"), Value(2.0));
  EXPECT_EQ(Eval("#2024-03-01# - 1"), Date(45351));
  EXPECT_EQ(Eval("CStr(" + moment + ")"), Value("2024-02-29 13:45:07"));
  EXPECT_EQ(Eval("'On ' & #2024-02-29#"), Value("On 2024-02-29"));
  EXPECT_EQ(Eval("Int(" + moment + ") = #2024-02-29#"), Value(true));
  EXPECT_EQ(Eval("Year(Date()) = Year(Now) And Time() < 1"), Value(true));

  EXPECT_NE(EvalError("#2/30/2024#").find("Invalid date '#2/30/2024#' at position 8"),
            std::string::npos);
  EXPECT_NE(EvalError("DateAdd('x', 1, #2024-01-01#)").find("Invalid procedure call"),
            std::string::npos);

  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = RunQuery(
      catalog, "select ProductID from Products where Added >= #2/29/2024# and Added < #3/1/2024#");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{1}}}));
  output = RunQuery(catalog, "select ProductID from Products where Year(Added) = 2025");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{5}}}));
  output = RunQuery(
      catalog, "select ProductID from Products where Added Between #1/1/2024# And #12/31/2024#");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{1}}, {I{2}}}));
}

}  // namespace
}  // namespace tablift::jet::testing
