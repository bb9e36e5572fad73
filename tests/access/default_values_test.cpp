// Access default values as MySQL takes them, or left out when it cannot.

#include <gtest/gtest.h>

#include "translate/default_values.h"

namespace tablift {
namespace {

using Kind = DefaultTarget::Kind;

DefaultTarget Target(Kind kind) {
  DefaultTarget target;
  target.kind = kind;
  return target;
}

DefaultTarget Integer(std::int64_t minimum, std::int64_t maximum) {
  DefaultTarget target = Target(Kind::Integer);
  target.minimum = minimum;
  target.maximum = maximum;
  return target;
}

DefaultTarget Text(std::uint32_t length) {
  DefaultTarget target = Target(Kind::Text);
  target.maxCharacters = length;
  return target;
}

std::string Taken(std::string_view value, const DefaultTarget& target) {
  const TranslatedDefault translated = TranslateDefaultValue(value, target);
  return translated.dropped ? "<dropped>" : translated.value;
}

TEST(DefaultValuesTest, YesNoWordsAndNumbersForYesNoColumns) {
  for (const char* yes : {"Yes", "=Yes", " = True ", "on", "-1", "=1"}) {
    EXPECT_EQ(Taken(yes, Target(Kind::Bit)), "1") << yes;
  }
  for (const char* no : {"No", "=No", "FALSE", "Off", "0"}) {
    EXPECT_EQ(Taken(no, Target(Kind::Bit)), "0") << no;
  }
  EXPECT_EQ(Taken("\"Yes\"", Target(Kind::Bit)), "<dropped>");
}

TEST(DefaultValuesTest, NumbersStayNumbersWithinTheColumnsRange) {
  EXPECT_EQ(Taken("=0", Integer(0, 255)), "0");
  EXPECT_EQ(Taken("255", Integer(0, 255)), "255");
  EXPECT_EQ(Taken("256", Integer(0, 255)), "<dropped>");
  EXPECT_EQ(Taken("-1", Integer(0, 255)), "<dropped>");
  EXPECT_EQ(Taken("+7", Integer(-128, 127)), "7");
  EXPECT_EQ(Taken("1.5", Integer(-128, 127)), "<dropped>");
  EXPECT_EQ(Taken("99999999999999999999", Integer(-128, 127)), "<dropped>");
  EXPECT_EQ(Taken("Yes", Integer(-128, 127)), "1");
  EXPECT_EQ(Taken("1.5e3", Target(Kind::Real)), "1.5e3");
  EXPECT_EQ(Taken(".5", Target(Kind::Real)), ".5");
  DefaultTarget decimal = Target(Kind::Decimal);
  decimal.precision = 5;
  decimal.scale = 2;
  EXPECT_EQ(Taken("123.456", decimal), "123.456");
  EXPECT_EQ(Taken("1234", decimal), "<dropped>");
  EXPECT_EQ(Taken("-000.5", decimal), "-000.5");
  // Currency is a DECIMAL(19,4): its default is a number, never text.
  DefaultTarget currency = Target(Kind::Decimal);
  currency.precision = 19;
  currency.scale = 4;
  EXPECT_EQ(Taken("=0", currency), "0");
  EXPECT_EQ(Taken("\"abc\"", currency), "<dropped>");
}

TEST(DefaultValuesTest, TextIsQuotedAndEscapedForMySql) {
  EXPECT_EQ(Taken("\"N/A\"", Text(10)), "'N/A'");
  EXPECT_EQ(Taken("\"say \"\"hi\"\"\"", Text(20)), "'say \\\"hi\\\"'");
  EXPECT_EQ(Taken("'it''s'", Text(20)), "'it\\'s'");
  EXPECT_EQ(Taken("\"back\\slash\"", Text(20)), "'back\\\\slash'");
  EXPECT_EQ(Taken("42", Text(20)), "'42'");
  // Characters, not bytes, count against the length.
  EXPECT_EQ(Taken("\"Müller\"", Text(6)), "'Müller'");
  EXPECT_EQ(Taken("\"Müllers\"", Text(6)), "<dropped>");
  // A quote inside that does not belong to the literal makes an expression.
  EXPECT_EQ(Taken("\"a\" & \"b\"", Text(20)), "<dropped>");
  EXPECT_EQ(Taken("Yes", Text(20)), "<dropped>");
}

TEST(DefaultValuesTest, DatesAndTheCurrentTime) {
  EXPECT_EQ(Taken("=Now()", Target(Kind::DateTime)), "CURRENT_TIMESTAMP");
  EXPECT_EQ(Taken("date()", Target(Kind::DateTime)), "CURRENT_TIMESTAMP");
  EXPECT_EQ(Taken("#12/31/1899#", Target(Kind::DateTime)), "'1899-12-31'");
  EXPECT_EQ(Taken("#13/1/2000#", Target(Kind::DateTime)), "<dropped>");
  EXPECT_EQ(Taken("=Time()", Target(Kind::DateTime)), "<dropped>");
  EXPECT_EQ(Taken("Now()", Text(30)), "<dropped>");
  DefaultTarget old = Target(Kind::DateTime);
  old.currentTimestamp = false;
  EXPECT_EQ(Taken("Now()", old), "<dropped>");
}

TEST(DefaultValuesTest, NothingToSayAndTypesThatTakeNoDefault) {
  const TranslatedDefault blank = TranslateDefaultValue(" = ", Target(Kind::Text));
  EXPECT_FALSE(blank.dropped);
  EXPECT_EQ(blank.value, "");
  const TranslatedDefault null = TranslateDefaultValue("=Null", Integer(0, 1));
  EXPECT_FALSE(null.dropped);
  EXPECT_EQ(null.value, "");
  EXPECT_EQ(Taken("\"x\"", Target(Kind::None)), "<dropped>");
  EXPECT_EQ(Taken("GenGUID()", Target(Kind::None)), "<dropped>");
}

}  // namespace
}  // namespace tablift
