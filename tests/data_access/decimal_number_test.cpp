#include "data_access/decimal_number.h"

#include <gtest/gtest.h>

namespace tablift {
namespace {

TEST(IsDecimalNumber, OnlyAsciiDigits) {
  EXPECT_TRUE(IsDecimalNumber(""));
  EXPECT_TRUE(IsDecimalNumber("0123456789"));
  EXPECT_FALSE(IsDecimalNumber("12a"));
  EXPECT_FALSE(IsDecimalNumber("-1"));
  EXPECT_FALSE(IsDecimalNumber("1.5"));
  EXPECT_FALSE(IsDecimalNumber(" 1"));
  EXPECT_FALSE(IsDecimalNumber("\xD9\xA1"));  // ARABIC-INDIC DIGIT ONE
}

}  // namespace
}  // namespace tablift
