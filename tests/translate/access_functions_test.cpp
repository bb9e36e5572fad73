// Two engines agreeing: each Access expression is evaluated by the
// project's own Access SQL executor and, translated, by the MySQL server;
// both must give the same value. Where the executor has no such function,
// the value Access gives is written in the test.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"
#include "tests/translate/access_engines.h"
#include "translate/access_expression.h"

namespace tablift {
namespace {

class TwoEnginesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto server = test::PrivateServerFromEnvironment();
    if (!server) GTEST_SKIP() << "no private MariaDB server";
    ASSERT_TRUE(test::ConnectTarget(window_, *server));
  }

  std::string translated(const std::string& expression) {
    const TranslatedExpression result = TranslateAccessExpression(expression, {});
    EXPECT_TRUE(result.ok) << expression << ": " << result.problem;
    return result.text;
  }

  // Both engines give the same value.
  void agree(const std::string& expression) {
    const std::string mysql = translated(expression);
    if (mysql.empty()) return;
    const std::string access = test::AccessValue(expression);
    const std::string server = test::ServerValue(window_, mysql);
    EXPECT_TRUE(test::SameValue(access, server))
        << expression << "\n  Access: " << access << "\n  MySQL:  " << server
        << "\n  from:   " << mysql;
  }

  // The server gives what Access gives.
  void gives(const std::string& expression, const std::string& value) {
    const std::string mysql = translated(expression);
    if (mysql.empty()) return;
    const std::string server = test::ServerValue(window_, mysql);
    EXPECT_TRUE(test::SameValue(value, server))
        << expression << "\n  Access: " << value << "\n  MySQL:  " << server
        << "\n  from:   " << mysql;
  }

  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
};

TEST_F(TwoEnginesTest, ChoosingFunctions) {
  for (const char* expression : {
           "IIf([Nothing] Is Null, \"none\", \"some\")",
           "IIf([Id] > 2, 1, 2)",
           "IIf(Null, \"t\", \"f\")",
           "Nz([Nothing])",
           "Nz([Nothing], 5)",
           "Nz([Id], 5)",
           "Nz([Nothing], \"x\") & \"!\"",
           "Switch([Id] = 2, \"two\", [Id] = 1, \"one\", True, \"other\")",
           "Switch([Id] = 5, \"five\")",
           "Switch([Nothing] = 1, \"a\", [Nothing] Is Null, \"b\")",
           "Choose(2, \"a\", \"b\", \"c\")",
           "Choose(4, \"a\", \"b\")",
           "Choose(0, \"a\", \"b\")",
           "Choose(1.5, \"a\", \"b\", \"c\")",
           "Choose(2.5, \"a\", \"b\", \"c\")",
           "IsNull([Nothing])",
           "IsNull([Id])",
           "IIf([Id] = 1, #1/1/2020#, Null)",
           "Nz([Nothing], 5) + 1",
           "Choose([Id], 10, 20)",
           "Switch([Id] = 1, #12/31/2020#)",
       })
    agree(expression);
}

TEST_F(TwoEnginesTest, DateParts) {
  for (const char* interval : {"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"}) {
    for (const char* date : {"#1/31/2020 13:05:09#", "#12/31/2024 23:59:59#", "#2/29/2020#",
                             "#1/1/2022#", "#1/7/2023#", "#3/1/1900 06:00:00#"}) {
      agree(std::string("DatePart(\"") + interval + "\", " + date + ")");
      if (std::string(interval) == "w" || std::string(interval) == "ww")
        agree(std::string("DatePart(\"") + interval + "\", " + date + ", 2)");
    }
  }
  agree("DatePart(\"ww\", #12/31/2022#, 7)");
  agree("DatePart(\"YYYY\", [Nothing])");
  for (const char* expression : {
           "Year(#2/29/2020#)",
           "Month(#12/31/2019#)",
           "Day(#2/29/2020#)",
           "Weekday(#1/5/2020#)",
           "Weekday(#1/4/2020#)",
           "Weekday(#1/5/2020#, 2)",
           "Weekday(#1/6/2020#, 7)",
           "Hour(#1/1/2020 23:59:58#)",
           "Minute(#1/1/2020 23:59:58#)",
           "Second(#1/1/2020 23:59:58#)",
           "Hour(#7:45:00 PM#)",
           "Year([Nothing])",
           "DateSerial(2020, 13, 0)",
           "DateSerial(2020, 2, 30)",
           "DateSerial(2021, -1, 31)",
           "DateValue(#1/31/2020 13:05:09#)",
           "DateValue(\"2/29/2020\")",
           "TimeValue(#1/31/2020 13:05:09#)",
           "TimeSerial(13, 5, 9)",
           "TimeSerial(1, 90, 0)",
           "Year(\"1/31/2020\")",
           "Weekday(\"2020-01-05\")",
           "DatePart(\"m\", \"12/31/2020\")",
           "DateAdd(\"m\", 1, \"1/31/2020\")",
           "DateDiff(\"d\", \"1/31/2020\", \"3/1/2020\")",
       })
    agree(expression);
}

TEST_F(TwoEnginesTest, DateArithmetic) {
  for (const char* expression : {
           "DateAdd(\"m\", 1, #1/31/2020#)",
           "DateAdd(\"m\", -1, #3/31/2021#)",
           "DateAdd(\"yyyy\", 1, #2/29/2020#)",
           "DateAdd(\"q\", 1, #11/30/2020#)",
           "DateAdd(\"y\", 1, #12/31/2020#)",
           "DateAdd(\"d\", -1, #3/1/2020#)",
           "DateAdd(\"w\", 3, #1/1/2020#)",
           "DateAdd(\"ww\", 2, #12/25/2020#)",
           "DateAdd(\"h\", 25, #1/1/2020 00:30:00#)",
           "DateAdd(\"n\", -90, #1/1/2020#)",
           "DateAdd(\"s\", 3661, #12/31/2020 23:00:00#)",
           "DateAdd(\"d\", 1.5, #1/1/2020#)",
           "DateAdd(\"d\", 2.5, #1/1/2020#)",
           "DateAdd(\"d\", [Nothing], #1/1/2020#)",
           "DateDiff(\"m\", #1/31/2020#, #2/1/2020#)",
           "DateDiff(\"yyyy\", #12/31/2019#, #1/1/2020#)",
           "DateDiff(\"yyyy\", #1/1/2020#, #12/31/2020#)",
           "DateDiff(\"q\", #3/31/2020#, #4/1/2020#)",
           "DateDiff(\"q\", #4/1/2021#, #3/31/2020#)",
           "DateDiff(\"m\", #3/31/2020#, #1/1/2020#)",
           "DateDiff(\"d\", #2/28/2020 23:59:00#, #3/1/2020 00:01:00#)",
           "DateDiff(\"y\", #1/1/2020#, #12/31/2020#)",
           "DateDiff(\"w\", #1/1/2020#, #1/14/2020#)",
           "DateDiff(\"w\", #1/1/2020#, #1/15/2020#)",
           "DateDiff(\"w\", #1/15/2020#, #1/2/2020#)",
           "DateDiff(\"ww\", #1/4/2020#, #1/5/2020#)",
           "DateDiff(\"ww\", #1/5/2020#, #1/11/2020#)",
           "DateDiff(\"ww\", #1/5/2020#, #1/11/2020#, 7)",
           "DateDiff(\"ww\", #1/12/2020#, #1/1/2020#, 2)",
           "DateDiff(\"h\", #1/1/2020 23:59:00#, #1/2/2020 00:01:00#)",
           "DateDiff(\"n\", #1/1/2020 10:00:59#, #1/1/2020 10:01:00#)",
           "DateDiff(\"s\", #1/1/2020#, #1/2/2020#)",
           "DateDiff(\"h\", #1/2/2020#, #1/1/2020 12:30:00#)",
           "DateDiff(\"d\", [Nothing], #1/1/2020#)",
           "#1/31/2020# + 1",
           "#1/31/2020# - 1.5",
           "#3/1/2020# - #2/1/2020#",
           "#3/1/2020 12:00:00# - #2/29/2020#",
       })
    agree(expression);
  // Today, on both sides of the comparison.
  agree("DateDiff(\"d\", Date(), Now())");
  agree("Year(Date()) = Year(Now())");
  agree("Hour(Time()) - Hour(Now()) In (0, -23)");
  agree("Year(Time())");
}

TEST_F(TwoEnginesTest, TextFunctions) {
  for (const char* expression : {
           "Left(\"abcdef\", 2)",
           "Right(\"abcdef\", 2)",
           "Left(\"ab\", 5)",
           "Left([Nothing], 1)",
           "Mid(\"abcdef\", 2)",
           "Mid(\"abcdef\", 2, 3)",
           "Mid(\"abc\", 5)",
           "InStr(\"abcabc\", \"c\")",
           "InStr(1, \"abcabc\", \"C\")",
           "InStr(4, \"abcabc\", \"b\")",
           "InStr(\"abc\", \"\")",
           "InStr(\"\", \"a\")",
           "InStr(\"abc\", \"x\")",
           "InStr(1, \"ABC\", \"b\", 0)",
           "InStr(1, \"ABC\", \"b\", 1)",
           "InStr([Nothing], \"a\")",
           "Replace(\"aXbxc\", \"x\", \"-\")",
           "Replace(\"a.b.c\", \".\", \"\")",
           "Replace(\"a(b)\", \"(B)\", \"$1\")",
           "Replace([Nothing], \"a\", \"b\")",
           "Trim(\"  a b  \")",
           "LTrim(\"  a \")",
           "RTrim(\"  a \")",
           "LCase(\"AbC\")",
           "UCase(\"AbC\")",
           "Len(\"abc\")",
           "Len(\"\")",
           "Len([Nothing])",
           "Len(12.5)",
           "StrComp(\"abc\", \"ABD\")",
           "Space(3) & \"|\"",
           "StrReverse(\"abc\")",
           "Left$(\"abc\", 1)",
           "InStrRev(\"abcabc\", \"bc\")",
           "InStrRev(\"abcabc\", \"x\")",
           "InStrRev(\"abc\", \"\")",
           "InStrRev(\"\", \"a\")",
           "Str(5) & \"|\"",
           "Str(-5)",
           "Chr(65) & Chr(97)",
           "Asc(\"A\")",
           "String(3, \"xy\")",
           "String(2, 66)",
       })
    agree(expression);
}

TEST_F(TwoEnginesTest, ConcatenationTakesNullAsEmpty) {
  for (const char* expression : {
           "\"a\" & [Nothing] & \"b\"",
           "[Nothing] & [Nothing]",
           "[Id] & [Nothing]",
           "1 & 2",
           "\"a\" + \"b\"",
           "\"a\" + [Nothing] & \"c\"",
           "\"Mr \" + [Nothing]",
           "\"Mr \" + CStr([Id]) + \".\"",
           "([Nothing] + \" \") & \"x\"",
           "\"1\" + 2",
           "\"1\" + [Id]",
           "\"x\" & 1 + 2",
           "#1/31/2020# & \"|\"",
           "\"|\" & #1/31/2020 13:05:09#",
           "#13:05:09# & \"\"",
           "CStr(#12/1/2020 00:00:01#)",
           "CStr(#2/29/2020#)",
       })
    agree(expression);
}

TEST_F(TwoEnginesTest, NumbersRoundHalfToEven) {
  for (const char* expression : {
           "CInt(2.5)",
           "CInt(3.5)",
           "CInt(-2.5)",
           "CInt(2.4999)",
           "CLng(1.5)",
           "CLng(-0.5)",
           "CLng(\"12.5\")",
           "Round(2.5)",
           "Round(3.5)",
           "Round(-1.5)",
           "Round(0.125, 2)",
           "Round(0.135, 2)",
           "Round(2.675, 2)",
           "Round(1.005, 2)",
           "Round(-2.345, 2)",
           "Round([Nothing])",
           "Round(123.456, 0)",
           "Int(-1.5)",
           "Int(1.9)",
           "Fix(-1.5)",
           "Fix(1.9)",
           "Int(-2)",
           "CCur(1.23456)",
           "CCur(2.00005)",
           "CDbl(\"1.5\") * 2",
           "CStr(12) & \"|\"",
           "CStr(1.5)",
           "CBool(5)",
           "CBool(0)",
           "Val(\"  12 34abc\")",
           "Val(\"abc\")",
           "Val(\"1.5e2\")",
           "Val(\"-3.7x\")",
           "Val(\" .5\")",
           "Abs(-3)",
           "Sgn(-2.5)",
           "Sqr(16)",
           "Int(-0.5)",
           "Fix(-0.5)",
           "Round(-0.5)",
           "CInt(-0.5)",
           "Round(1234567.891, 2)",
           "CLng(2147483647.4)",
           // Doubles whose seventeen digits miss the tie their fifteen make.
           "CCur(21.35 * 15 * (1 - 0.1) / 100)",
           "CCur(1035.3 * 0.75 / 100)",
           "Round(123.79 * 2 * 0.75 / 100, 4)",
       })
    agree(expression);
  gives("CDate(\"1/31/2020\")", "2020-01-31 00:00:00");
  gives("CDate(43861.5)", "2020-01-31 12:00:00");
}

TEST_F(TwoEnginesTest, Operators) {
  for (const char* expression : {
           "7 \\ 2",
           "-7 \\ 2",
           "7.5 \\ 2",
           "2.5 \\ 1",
           "6.5 \\ 2",
           "[Nothing] \\ 2",
           "7 Mod 3",
           "-7 Mod 3",
           "7 Mod -3",
           "7.5 Mod 2",
           "6.5 Mod 4",
           "[Nothing] Mod 2",
           "2 ^ 10",
           "2 ^ -1",
           "-2 ^ 2",
           "2 ^ 3 ^ 2",
           "(1 + 2) * 3 - 4 / 8",
           "1 / 3",
           "10 / 4",
           "7 \\ 2 * 2",
           "8 - 3 - 2",
           "2 * 3 Mod 4",
           "1 + 7 \\ 2 Mod 2",
           "[Nothing] + 1",
           "- -2",
           "3 - -2",
           "-[Id]",
       })
    agree(expression);
}

TEST_F(TwoEnginesTest, ConditionsAndPatterns) {
  for (const char* expression : {
           "5 Between 1 And 10",
           "11 Between 1 And 10",
           "5 Not Between 1 And 10",
           "[Nothing] Between 1 And 2",
           "2 In (1, 2, 3)",
           "4 Not In (1, 2)",
           "[Nothing] In (1)",
           "[Nothing] Is Null",
           "[Id] Is Not Null",
           "Not [Id] = 1",
           "[Id] = 1 And [Nothing] Is Null",
           "[Id] = 2 Or [Id] = 1",
           "[Id] = 1 Xor [Id] = 1",
           "[Id] = 1 Eqv [Id] = 2",
           "[Id] = 2 Imp [Id] = 1",
           "\"abc\" Like \"a*\"",
           "\"aXc\" Like \"a?c\"",
           "\"a1c\" Like \"a#c\"",
           "\"abc\" Like \"a#c\"",
           "\"abc\" Like \"[a-c]bc\"",
           "\"dbc\" Like \"[a-c]bc\"",
           "\"dbc\" Like \"[!a-c]bc\"",
           "\"a*c\" Like \"a[*]c\"",
           "\"abc\" Like \"a[*]c\"",
           "\"ABC\" Like \"abc\"",
           "\"a%c\" Like \"a%c\"",
           "\"abc\" Like \"a%c\"",
           "\"a_c\" Like \"a_c\"",
           "\"50%\" Like \"5#[%]\"",
           "\"a.c\" Like \"a.c\"",
           "\"abc\" Like \"a.c\"",
           "\"abc\" Not Like \"*b*\"",
           "\"a\" & \"bc\" Like \"a\" & \"*\"",
           "\"x[y\" Like \"x[[]y\"",
           "[Nothing] Like \"*\"",
           "\"AbC\" Like \"*\" & \"b\" & \"*\"",
           "\"a+b\" Like \"*\" & \"+\" & \"*\"",
           "\"abc\" < \"abd\"",
           "\"ABC\" = \"abc\"",
           "True",
           "False = 0",
           "Yes <> No",
           // A pattern computed while the query runs keeps its wildcards.
           "\"abc\" Like LCase(\"A*\")",
           "\"a1\" Like LCase(\"A#\")",
           "\"a.c\" Like LCase(\"A.C\")",
           "\"abc\" Like LCase(\"A.C\")",
           "\"ab\" Like LCase(\"[!x]B\")",
           "\"xb\" Like LCase(\"[!x]B\")",
           "\"a+b\" Like LCase(\"A+B\") & \"*\"",
           "\"a(b\" Like \"*\" & LCase(\"(B\")",
           "\"abc\" Like [Nothing]",
           "\"abc\" Like \"a\" & [Nothing] & \"*\"",
       })
    agree(expression);
}

// The executor has no Format; the values are what Access shows with United
// States settings.
TEST_F(TwoEnginesTest, FormatOfDatesAndNumbers) {
  const std::string date = "#1/31/2020 13:05:09#";
  const std::pair<const char*, const char*> dates[] = {
      {"yyyy", "2020"},
      {"mm/dd/yyyy", "01/31/2020"},
      {"m/d/yy", "1/31/20"},
      {"mmm d, yyyy", "Jan 31, 2020"},
      {"mmmm", "January"},
      {"dddd", "Friday"},
      {"ddd dd", "Fri 31"},
      {"hh:nn", "13:05"},
      {"h:nn AM/PM", "1:05 PM"},
      {"hh:mm:ss", "13:05:09"},
      {"h:n:s", "13:5:9"},
      {"yyyy-mm-dd \\q q", "2020-01-31 q 1"},
      {"Long Date", "Friday, January 31, 2020"},
      {"Medium Date", "31-Jan-20"},
      {"Short Date", "1/31/2020"},
      {"Long Time", "1:05:09 PM"},
      {"Medium Time", "01:05 PM"},
      {"Short Time", "13:05"},
      {"General Date", "1/31/2020 1:05:09 PM"},
  };
  for (const auto& [format, value] : dates)
    gives("Format(" + date + ", \"" + format + "\")", value);
  gives("Format(#2/29/2020#, \"General Date\")", "2/29/2020");
  gives("Format(#10:30:00 PM#, \"General Date\")", "10:30:00 PM");
  gives("Format([Nothing], \"yyyy\")", "NULL");
  const std::pair<const char*, const char*> numbers[] = {
      {"Format(1234.567, \"0.00\")", "1234.57"},
      {"Format(1234.567, \"#,##0\")", "1,235"},
      {"Format(1234567.891, \"#,##0.00\")", "1,234,567.89"},
      {"Format(2.5, \"0\")", "3"},
      {"Format(0.125, \"0.00\")", "0.13"},
      {"Format(CDbl(2.675), \"0.00\")", "2.68"},
      {"Format(-0.001, \"0.00\")", "0.00"},
      {"Format(-1234.5, \"0.0\")", "-1234.5"},
      {"Format(5, \"$#,##0.00\")", "$5.00"},
      {"Format(0.5, \"0.0%\")", "50.0%"},
      {"Format(1.5, \"0.##\")", "1.5"},
      {"Format(5, \"0.##\")", "5."},
      {"Format(1.2345, \"0.0#\")", "1.23"},
      {"Format(1.2, \"0.0#\")", "1.2"},
      {"Format(0.5, \"#.##\")", ".5"},
      {"Format(1234.5, \"#,###\")", "1,235"},
      {"Format(5, \"000\")", "005"},
      {"Format(-1234.5, \"#,##0.00;(#,##0.00)\")", "(1,234.50)"},
      {"Format(1234.5, \"#,##0.00;(#,##0.00)\")", "1,234.50"},
      {"Format(0, \"0.0;-0.0;-\")", "-"},
      {"Format(-2, \"0.0;-0.0;-\")", "-2.0"},
      {"Format(-2, \"0;;\")", "2"},
      {"Format(-12345.6, \"000.0\")", "-12345.6"},
      {"Format(1234.5, \"Currency\")", "$1,234.50"},
      {"Format(-1234.5, \"Currency\")", "($1,234.50)"},
      {"Format(1234.5, \"Fixed\")", "1234.50"},
      {"Format(1234.5, \"Standard\")", "1,234.50"},
      {"Format(0.1234, \"Percent\")", "12.34%"},
      {"Format(0, \"Yes/No\")", "No"},
      {"Format(1.5, \"General Number\")", "1.5"},
  };
  for (const auto& [expression, value] : numbers)
    gives(expression, value);
}

TEST_F(TwoEnginesTest, SubqueriesInsideExpressions) {
  gives("(SELECT Max([x]) FROM (SELECT 1 AS x UNION SELECT 3) AS t) + 1", "4");
  gives("2 In (SELECT 1 UNION SELECT 2)", "1");
  gives("Exists (SELECT 1 FROM (SELECT 1 AS x) AS t WHERE t.x = 2)", "0");
  gives("IIf(Exists (SELECT * FROM (SELECT 1 AS x) AS t), \"yes\", \"no\")", "yes");
}

}  // namespace
}  // namespace tablift
