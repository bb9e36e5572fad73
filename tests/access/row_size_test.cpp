// Wide tables stay within MySQL's row size.

#include <gtest/gtest.h>

#include "translate/row_size.h"

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

TEST(RowSizeTest, AnInnoDbRowKeepsToHalfAPage) {
  // A key column, a text too long for the page and 254 nullable Text(50)
  // columns: 51 kB fit MySQL's row, but not InnoDB's page.
  std::vector<std::string> types = {"INTEGER", "VARCHAR(100)"};
  std::vector<bool> nullable = {false, true};
  for (int i = 0; i < 254; ++i) {
    types.push_back("VARCHAR(50)");
    nullable.push_back(true);
  }
  std::vector<std::string> myIsam = types;
  EXPECT_TRUE(FitRowSize(myIsam, nullable, "utf8mb4").empty());

  std::vector<std::string> innoDb = types;
  const std::vector<std::size_t> changed = FitRowSize(innoDb, nullable, "utf8mb4", true);
  ASSERT_FALSE(changed.empty());
  // The last columns go first; the one already off the page stays VARCHAR.
  EXPECT_EQ(changed.back(), 255u);
  EXPECT_EQ(innoDb[1], "VARCHAR(100)");
  EXPECT_EQ(innoDb[2], "VARCHAR(50)");
  std::size_t page = 5 + 32 + 19;
  for (const std::string& type : innoDb)
    page += InnoDbPageBytes(type, 4);
  EXPECT_LT(page, kMaxInnoDbRowBytes);
  // One column fewer on the page would have been too many.
  EXPECT_GE(page - InnoDbPageBytes("TEXT", 4) + InnoDbPageBytes("VARCHAR(50)", 4),
            kMaxInnoDbRowBytes);
  EXPECT_EQ(InnoDbPageBytes("VARCHAR(63)", 4), 253u);
  EXPECT_EQ(InnoDbPageBytes("VARCHAR(64)", 4), 22u);
  EXPECT_EQ(InnoDbPageBytes("VARCHAR(255)", 1), 256u);
  EXPECT_EQ(InnoDbPageBytes("LONGBLOB", 1), 22u);
}

}  // namespace
}  // namespace tablift
