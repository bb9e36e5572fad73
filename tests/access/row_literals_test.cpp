// The pieces of the row transfer that need no database: value literals, Access
// names in Access SQL and migration conditions.
#include <gtest/gtest.h>

#include "access/access_sql.h"
#include "mysql/value_literals.h"

namespace tablift {
namespace {

ColumnValue Text(std::string text) {
  return ColumnValue{std::move(text), false};
}

TEST(ValueLiteralTest, EveryJetTypeInItsMySqlForm) {
  const ColumnValue null;
  for (const std::uint16_t type : {DBTYPE_WSTR, DBTYPE_I4, DBTYPE_BYTES, DBTYPE_DATE, DBTYPE_BOOL,
                                   DBTYPE_CY, DBTYPE_GUID, DBTYPE_DBDATE}) {
    EXPECT_EQ(ValueLiteral(type, null), "NULL") << type;
  }
  EXPECT_EQ(ValueLiteral(DBTYPE_WSTR, Text("O'Reilly \"hi\" \\ C:\\path\\\r\n\t")),
            "'O\\'Reilly \\\"hi\\\" \\\\ C:\\\\path\\\\\\r\\n\\t'");
  EXPECT_EQ(ValueLiteral(DBTYPE_WSTR, Text(std::string("a\0b", 3))), "'a\\0b'");
  EXPECT_EQ(ValueLiteral(DBTYPE_WSTR, Text("")), "''");
  EXPECT_EQ(ValueLiteral(DBTYPE_BYTES, Text("0000010200")), "X'0000010200'");
  EXPECT_EQ(ValueLiteral(DBTYPE_BYTES, Text("")), "X''");
  EXPECT_EQ(ValueLiteral(DBTYPE_BOOL, Text("True")), "1");
  EXPECT_EQ(ValueLiteral(DBTYPE_BOOL, Text("False")), "0");
  EXPECT_EQ(ValueLiteral(DBTYPE_DATE, Text("1850-01-01 00:00:00")), "'1850-01-01 00:00:00'");
  EXPECT_EQ(ValueLiteral(DBTYPE_GUID, Text("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")),
            "'{6F9619FF-8B86-D011-B42D-00C04FC964FF}'");
  EXPECT_EQ(ValueLiteral(DBTYPE_CY, Text("-0.9999")), "-0.9999");
  EXPECT_EQ(ValueLiteral(DBTYPE_R8, Text("-1.25e+300")), "-1.25e+300");
  EXPECT_EQ(ValueLiteral(DBTYPE_R4, Text("1e-30")), "1e-30");
  EXPECT_EQ(ValueLiteral(DBTYPE_UI1, Text("255")), "255");
  EXPECT_EQ(ValueLiteral(DBTYPE_NUMERIC, Text("-123456789012345678.1234567890")),
            "-123456789012345678.1234567890");
  // A text that is not what its type promises can never change the statement.
  EXPECT_EQ(ValueLiteral(DBTYPE_I4, Text("1); drop table x; --")), "'1); drop table x; --'");
  EXPECT_EQ(ValueLiteral(DBTYPE_R8, Text("inf")), "'inf'");
  EXPECT_EQ(ValueLiteral(DBTYPE_BYTES, Text("0G'")), "'0G\\''");
  EXPECT_EQ(ValueLiteral(DBTYPE_I4, Text("True")), "'True'");
}

TEST(ValueLiteralTest, NumberTexts) {
  for (const char* text : {"0", "-1", "+2", "3.5", ".5", "5.", "1e10", "1E-3", "-1.25e+300"})
    EXPECT_TRUE(IsNumberText(text)) << text;
  for (const char* text : {"", "-", ".", "e5", "1e", "1e+", "1.2.3", "0x10", "1 ", "nan", "1,5"})
    EXPECT_FALSE(IsNumberText(text)) << text;
}

TEST(AccessSqlTest, NamesInBrackets) {
  EXPECT_EQ(BracketedAccessName("Order Details"), "[Order Details]");
  EXPECT_EQ(BracketedAccessName("Umsätze"), "[Umsätze]");
  EXPECT_EQ(BracketedAccessName("Order"), "[Order]");
  EXPECT_EQ(BracketedAccessName("a'b;c"), "[a'b;c]");
  EXPECT_FALSE(BracketedAccessName("x] where 1=1 or [y"));
  EXPECT_FALSE(BracketedAccessName(""));
}

TEST(AccessSqlTest, ConditionsAreOneClause) {
  EXPECT_EQ(SingleCondition(""), "");
  EXPECT_EQ(SingleCondition("  Id > 2 ;  "), "Id > 2");
  EXPECT_EQ(SingleCondition("Id > 2 and [Ship; Name] = 'a;b' or Note = \"c;d\""),
            "Id > 2 and [Ship; Name] = 'a;b' or Note = \"c;d\"");
  EXPECT_EQ(SingleCondition("OrderDate > #2024-01-01# and Name = 'O''Neil; x'"),
            "OrderDate > #2024-01-01# and Name = 'O''Neil; x'");
  EXPECT_FALSE(SingleCondition("Id = 1; delete from T"));
  EXPECT_FALSE(SingleCondition("Id = 1;;"));
  EXPECT_FALSE(SingleCondition("Name = 'it''s'; drop table x"));
}

}  // namespace
}  // namespace tablift
