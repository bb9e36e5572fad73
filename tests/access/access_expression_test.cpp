// Access expressions of saved queries rewritten in MySQL syntax.
#include <gtest/gtest.h>

#include <string>

#include "translate/access_expression.h"

namespace tablift {
namespace {

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

TEST(AccessExpressionTest, BracketedNamesAndStringsTakeMySqlQuoting) {
  EXPECT_EQ(Translated("[Order Details].[UnitPrice]*[Quantity]"),
            "`Order Details`.`UnitPrice`*`Quantity`");
  EXPECT_EQ(Translated("(((Table1.col1)>\"blah\"))"), "(((Table1.col1)>'blah'))");
  EXPECT_EQ(Translated("[Name]=\"He said \"\"it's\"\"\""), "`Name`='He said \\\"it\\'s\\\"'");
  EXPECT_EQ(Translated("[Path]='C:\\dir'"), "`Path`='C:\\\\dir'");
  EXPECT_EQ(Translated("Table1.*"), "Table1.*");
  const NameMapping names = [](const std::string& name) {
    return name == "My Query" ? std::string("My_Query") : name;
  };
  EXPECT_EQ(Translated("[My Query].x = \"My Query\"", names), "`My_Query`.x = 'My Query'");
}

TEST(AccessExpressionTest, ConcatenationKeepsAccessPrecedenceAndNullHandling) {
  EXPECT_EQ(Translated("[FirstName] & \" \" & [LastName]"),
            "CONCAT_WS('', `FirstName`, ' ', `LastName`)");
  EXPECT_EQ(Translated("[a] & [b] = \"xy\" And [c]+1 & \"\" > \"1\""),
            "CONCAT_WS('', `a`, `b`) = 'xy' And CONCAT_WS('', `c`+1, '') > '1'");
  EXPECT_EQ(Translated("UCase([a] & \"-\" & (x + 1))"), "UPPER(CONCAT_WS('', `a`, '-', (x + 1)))");
  EXPECT_EQ(Translated("IIf([x] Is Null, \"none\", [x] & \"!\")"),
            "IF(`x` Is Null, 'none', CONCAT_WS('', `x`, '!'))");
}

TEST(AccessExpressionTest, DatesFunctionsAndLikePatterns) {
  EXPECT_EQ(Translated("OrderDate>=#1/31/1996# And OrderDate<#1996-02-01 13:05:00#"),
            "OrderDate>='1996-01-31' And OrderDate<'1996-02-01 13:05:00'");
  EXPECT_EQ(Translated("d = #12/1/98 1:30 PM#"), "d = '1998-12-01 13:30:00'");
  EXPECT_EQ(Translated("Nz([Freight],0) + Len([Name])"),
            "IFNULL(`Freight`,0) + CHAR_LENGTH(`Name`)");
  EXPECT_EQ(Translated("[Due] < Date()"), "`Due` < CURDATE()");
  EXPECT_EQ(Translated("[Name] Like \"A?c*\""), "`Name` Like 'A_c%'");
  EXPECT_EQ(Translated("[Rate] Like \"5%_*\""), "`Rate` Like '5\\\\%\\\\_%'");
}

TEST(AccessExpressionTest, ConversionsAndYesNoConstants) {
  EXPECT_EQ(Translated("Sum(CCur([UnitPrice]*[Quantity]*(1-[Discount])/100)*100)"),
            "Sum(CAST(`UnitPrice`*`Quantity`*(1-`Discount`)/100 AS DECIMAL(19,4))*100)");
  EXPECT_EQ(Translated("CStr([Id]) & \"x\""), "CONCAT_WS('', CAST(`Id` AS CHAR), 'x')");
  EXPECT_EQ(Translated("[Discontinued]=No Or [Active]<>Yes Or [Flag]=True"),
            "`Discontinued`=FALSE Or `Active`<>TRUE Or `Flag`=TRUE");
}

TEST(AccessExpressionTest, WhatMySqlWouldReadDifferentlyIsRefused) {
  EXPECT_NE(Problem("[OrderID]=[Forms]![Orders]![OrderID]"), "");
  EXPECT_NE(Problem("[x]^2"), "");
  EXPECT_NE(Problem("[x]\\2"), "");
  EXPECT_NE(Problem("[Name] Like \"[A-C]*\""), "");
  EXPECT_NE(Problem("d = #31/31/1996#"), "");
  EXPECT_NE(Problem("([a]"), "");
  EXPECT_NE(Problem("[a"), "");
}

}  // namespace
}  // namespace tablift
