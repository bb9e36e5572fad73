// Access expressions of saved queries rewritten in MySQL syntax.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "translate/access_expression.h"

namespace tablift {
namespace {

using ::testing::HasSubstr;

std::string Translated(const std::string& expression, const NameMapping& names = {}) {
  const TranslatedExpression result = TranslateAccessExpression(expression, names);
  EXPECT_TRUE(result.ok) << expression << ": " << result.problem;
  return result.text;
}

std::string Problem(const std::string& expression) {
  const TranslatedExpression result = TranslateAccessExpression(expression, {});
  EXPECT_FALSE(result.ok) << expression << " gave " << result.text;
  return result.problem;
}

TEST(AccessExpressionTest, NamesAndStringsTakeMySqlQuoting) {
  EXPECT_EQ(Translated("[Order Details].[UnitPrice]*[Quantity]"),
            "`Order Details`.`UnitPrice` * `Quantity`");
  EXPECT_EQ(Translated("(((Table1.col1)>\"blah\"))"), "`Table1`.`col1` > 'blah'");
  EXPECT_EQ(Translated("[Name]=\"He said \"\"it's\"\"\""), "`Name` = 'He said \\\"it\\'s\\\"'");
  EXPECT_EQ(Translated("[Path]='C:\\dir'"), "`Path` = 'C:\\\\dir'");
  EXPECT_EQ(Translated("Table1.*"), "`Table1`.*");
  EXPECT_EQ(Translated("[Orders]![Freight]"), "`Orders`.`Freight`");
  const NameMapping names = [](const std::string& name) {
    return name == "My Query" ? std::string("My_Query") : name;
  };
  EXPECT_EQ(Translated("[My Query].x = \"My Query\"", names), "`My_Query`.`x` = 'My Query'");
}

TEST(AccessExpressionTest, OperatorsKeepAccessPrecedenceWithTheFewestParentheses) {
  EXPECT_EQ(Translated("[FirstName] & \" \" & [LastName]"),
            "CONCAT_WS('', `FirstName`, ' ', `LastName`)");
  // Without a literal every operand may be Null, and so may the whole.
  EXPECT_EQ(Translated("[a] & [b] = \"xy\" And [c]+1 & \"\" > \"1\""),
            "IF(COALESCE(`a`, `b`) IS NULL, NULL, CONCAT_WS('', `a`, `b`)) = 'xy' AND "
            "CONCAT_WS('', `c` + 1, '') > '1'");
  EXPECT_EQ(Translated("UCase([a] & \"-\" & (x + 1))"), "UPPER(CONCAT_WS('', `a`, '-', `x` + 1))");
  EXPECT_EQ(Translated("([a] - [b]) - ([c] - [d])"), "`a` - `b` - (`c` - `d`)");
  EXPECT_EQ(Translated("Not [a] = 1 Or [b] > 2 And [c] < 3"), "NOT `a` = 1 OR `b` > 2 AND `c` < 3");
  // Mod rounds its operands half to even first (the rounding is tested on
  // the server against the executor).
  EXPECT_THAT(Translated("-[x]^2 + 7 \\ 2 Mod [y]"),
              ::testing::StartsWith("-POWER(`x`, 2) + 7 DIV 2 MOD (CASE WHEN ABS("));
  EXPECT_EQ(Translated("[x] Is Not Null And [y] Not Between 1 And 2 Or [z] Not In (1, 2)"),
            "`x` IS NOT NULL AND `y` NOT BETWEEN 1 AND 2 OR `z` NOT IN (1, 2)");
}

TEST(AccessExpressionTest, DatesFunctionsAndLikePatterns) {
  EXPECT_EQ(Translated("OrderDate>=#1/31/1996# And OrderDate<#1996-02-01 13:05:00#"),
            "`OrderDate` >= TIMESTAMP'1996-01-31 00:00:00' AND "
            "`OrderDate` < TIMESTAMP'1996-02-01 13:05:00'");
  EXPECT_EQ(Translated("d = #12/1/98 1:30 PM#"), "`d` = TIMESTAMP'1998-12-01 13:30:00'");
  EXPECT_EQ(Translated("Nz([Freight],0) + Len([Name])"),
            "IFNULL(`Freight`, 0) + CHAR_LENGTH(`Name`)");
  EXPECT_EQ(Translated("[Name] Like \"A?c*\""), "`Name` LIKE 'A_c%'");
  EXPECT_EQ(Translated("[Rate] Like \"5%_*\""), "`Rate` LIKE '5\\\\%\\\\_%'");
  EXPECT_EQ(Translated("[Code] Not Like \"[A-C]#[!x]*\""),
            "`Code` NOT REGEXP '(?is)^[A-C][0-9][^x].*$'");
}

TEST(AccessExpressionTest, ConversionsAndYesNoConstants) {
  EXPECT_EQ(Translated("Sum(CDbl([UnitPrice]*[Quantity]*(1-[Discount])/100)*100)"),
            "SUM(CAST(CAST(`UnitPrice` * `Quantity` * (1 - `Discount`) AS DOUBLE) / 100 AS "
            "DOUBLE) * 100)");
  // Currency rounds its fifth decimal half to even, on the fifteen digits
  // Access sees of a Double, before MySQL cuts it.
  EXPECT_THAT(Translated("CCur([x])"),
              ::testing::AllOf(::testing::StartsWith("CAST(CAST((CASE WHEN ABS("),
                               HasSubstr("ROUND(CAST(`x` AS DECIMAL(65,30)), 14 - FLOOR(LOG10("),
                               ::testing::EndsWith(" AS DECIMAL(19,4))")));
  EXPECT_EQ(Translated("CStr([Id]) & \"x\""), "CONCAT_WS('', CAST(`Id` AS CHAR), 'x')");
  EXPECT_EQ(Translated("[Discontinued]=No Or [Active]<>Yes Or [Flag]=True"),
            "`Discontinued` = FALSE OR `Active` <> TRUE OR `Flag` = TRUE");
}

TEST(AccessExpressionTest, WhatMySqlCannotComputeAsAccessDoesIsRefusedWithTheReason) {
  EXPECT_THAT(Problem("[OrderID]=[Forms]![Orders]![OrderID]"), HasSubstr("form or report"));
  EXPECT_THAT(Problem("Eval(\"1+1\")"), HasSubstr("Eval has no MySQL counterpart"));
  EXPECT_THAT(Problem("DLookUp(\"x\", \"T\")"), HasSubstr("DLookUp has no MySQL counterpart"));
  EXPECT_THAT(Problem("Last([x])"), HasSubstr("Last has no MySQL counterpart"));
  EXPECT_THAT(Problem("DatePart([Unit], [d])"), HasSubstr("not a literal"));
  EXPECT_THAT(Problem("DateAdd(\"x\", 1, [d])"), HasSubstr("DateAdd with the interval \"x\""));
  EXPECT_THAT(Problem("Format([d], [f])"), HasSubstr("Format"));
  EXPECT_THAT(Problem("Format([n], \"#,##0,\")"), HasSubstr("#,##0,"));
  EXPECT_THAT(Problem("Format([n], \"0#.#0\")"), HasSubstr("0#.#0"));
  EXPECT_THAT(Problem("[Name] Like \"[A-C*\""), HasSubstr("[ without ]"));
  EXPECT_THAT(Problem("[x] = ?"), HasSubstr("parameter"));
  EXPECT_THAT(Problem("Switch([a], 1, [b])"), HasSubstr("pairs"));
  EXPECT_NE(Problem("d = #31/31/1996#"), "");
  EXPECT_NE(Problem("([a]"), "");
  EXPECT_NE(Problem("[a]) + 1"), "");
  EXPECT_NE(Problem("[a"), "");
  EXPECT_THAT(Problem(" \r\n"), HasSubstr("empty"));
}

}  // namespace
}  // namespace tablift
