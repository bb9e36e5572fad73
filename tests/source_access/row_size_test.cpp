// Wide tables stay within MySQL's row size.

#include <gtest/gtest.h>

#include "source_access/row_size.h"

namespace tablift {
namespace {

TEST(RowSizeTest, WhatAColumnTakesOfARow) {
  EXPECT_EQ(BytesPerCharacter("LATIN1"), 1u);
  EXPECT_EQ(BytesPerCharacter("utf8"), 3u);
  EXPECT_EQ(BytesPerCharacter("UTF8MB4"), 4u);
  EXPECT_EQ(ColumnRowBytes("VARCHAR(255)", 1), 256u);
  EXPECT_EQ(ColumnRowBytes("VARCHAR(255)", 4), 1022u);
  EXPECT_EQ(ColumnRowBytes("VARBINARY(510)", 1), 512u);
  EXPECT_EQ(ColumnRowBytes("char(24)", 3), 72u);
  EXPECT_EQ(ColumnRowBytes("LONGTEXT", 4), 12u);
  EXPECT_EQ(ColumnRowBytes("INTEGER", 4), 8u);
}

TEST(RowSizeTest, TheWidestNullableTextsMoveOutOfTheRowUntilItFits) {
  // A key column, then 100 nullable Text(255) columns and a narrower one.
  std::vector<std::string> types(1, "VARCHAR(255)");
  std::vector<bool> nullable(1, false);
  for (int i = 0; i < 100; ++i) {
    types.push_back("VARCHAR(255)");
    nullable.push_back(true);
  }
  types.push_back("VARCHAR(10)");
  nullable.push_back(true);

  std::vector<std::string> latin1 = types;
  EXPECT_TRUE(FitRowSize(latin1, nullable, "latin1").empty());
  EXPECT_EQ(latin1, types);

  std::vector<std::string> utf8mb4 = types;
  const std::vector<std::size_t> changed = FitRowSize(utf8mb4, nullable, "utf8mb4");
  // 102 columns of 1022 bytes need 104 kB: 38 of them must go, the last ones
  // first; the key column and the narrow one keep their type.
  ASSERT_EQ(changed.size(), 38u);
  EXPECT_EQ(changed.front(), 63u);
  EXPECT_EQ(changed.back(), 100u);
  EXPECT_EQ(utf8mb4[0], "VARCHAR(255)");
  EXPECT_EQ(utf8mb4[62], "VARCHAR(255)");
  EXPECT_EQ(utf8mb4[63], "TEXT");
  EXPECT_EQ(utf8mb4[101], "VARCHAR(10)");
  std::size_t bytes = 0;
  for (const std::string& type : utf8mb4)
    bytes += ColumnRowBytes(type, 4);
  EXPECT_LE(bytes + 13, kMaxRowBytes);
}

}  // namespace
}  // namespace tablift
