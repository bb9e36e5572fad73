#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

using test::Utf16Le;
using Byteses = std::vector<std::uint8_t>;

Byteses RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  Byteses bytes(size);
  for (auto& byte : bytes)
    byte = static_cast<std::uint8_t>(generator());
  return bytes;
}

// Memo and OLE values of every placement: in the row, alone on a long-value
// page, sharing one with others, and chained over many pages.
class LongValuesTest : public ::testing::Test {
 protected:
  static TableDesign Design() {
    TableDesign design;
    design.name = "Documents";
    design.columns = {{.name = "Id", .type = JetType::Long},
                      {.name = "Body", .type = JetType::Memo},
                      {.name = "Scan", .type = JetType::OleObject}};
    return design;
  }

  void writeAndRead(const std::vector<std::vector<Value>>& rows) {
    path_ = directory_.path() / "long.mdb";
    ASSERT_TRUE(test::WriteDatabase(path_, {{Design(), rows}}));
    test::LibmdbDatabase mdb(path_);
    ASSERT_TRUE(mdb.opened());
    auto table = mdb.readTable("Documents");
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->rows.size(), rows.size());
    read_ = std::move(*table);
  }

  tablift::test::ScopedTempDir directory_;
  std::filesystem::path path_;
  test::ReadTable read_;
};

TEST_F(LongValuesTest, ValuesAroundEachPlacementLimitReadBackWhole) {
  // 32 characters (64 bytes) stay in the row; 33 do not. 4080 bytes are the
  // largest single long-value row; one more starts a chain.
  const std::vector<std::size_t> memoCharacters = {0, 1, 32, 33, 2039, 2040, 2041, 2036, 4072};
  const std::vector<std::size_t> oleBytes = {0, 1, 64, 65, 4079, 4080, 4081, 4072, 8144, 8145};
  std::vector<std::vector<Value>> rows;
  for (std::size_t i = 0; i < std::max(memoCharacters.size(), oleBytes.size()); ++i) {
    rows.push_back({static_cast<std::int64_t>(i),
                    i < memoCharacters.size() ? Value{std::string(memoCharacters[i], 'm')} : Null{},
                    i < oleBytes.size() ? Value{Bytes{RandomBytes(oleBytes[i], 7 + i)}} : Null{}});
  }
  writeAndRead(rows);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    if (i < memoCharacters.size()) {
      EXPECT_EQ(read_.rows[i][1].text, std::string(memoCharacters[i], 'm'));
      EXPECT_EQ(read_.rows[i][1].bytes.size(), memoCharacters[i] * 2);
    } else {
      EXPECT_TRUE(read_.rows[i][1].null);
    }
    if (i < oleBytes.size()) {
      EXPECT_EQ(read_.rows[i][2].bytes, RandomBytes(oleBytes[i], 7 + i));
    } else {
      EXPECT_TRUE(read_.rows[i][2].null);
    }
  }
}

TEST_F(LongValuesTest, LargeMemoAndOleSpanManyPages) {
  std::u16string text;
  std::string utf8;
  for (int i = 0; i < 12000; ++i) {
    text += i % 3 == 0 ? u'é' : (i % 3 == 1 ? u'東' : u'a');
    utf8 += i % 3 == 0 ? "é" : (i % 3 == 1 ? "東" : "a");
  }
  const Byteses picture = RandomBytes(1 << 20, 42);
  writeAndRead(
      {{std::int64_t{1}, utf8, Bytes{picture}}, {std::int64_t{2}, std::string("after"), Null{}}});
  EXPECT_EQ(read_.rows[0][1].bytes, Utf16Le(text));
  EXPECT_EQ(read_.rows[0][1].text, utf8);
  EXPECT_EQ(read_.rows[0][2].bytes, picture);
  EXPECT_EQ(read_.rows[1][1].text, "after");
}

TEST_F(LongValuesTest, ManyMediumValuesShareLongValuePages) {
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < 300; ++i) {
    rows.push_back({std::int64_t{i}, std::string(100 + i, static_cast<char>('a' + i % 26)),
                    Bytes{RandomBytes(500 + 7 * i, i)}});
  }
  writeAndRead(rows);
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(read_.rows[i][1].text, std::string(100 + i, static_cast<char>('a' + i % 26)));
    EXPECT_EQ(read_.rows[i][2].bytes, RandomBytes(500 + 7 * i, i)) << i;
  }
  // 300 rows of about 1.5 KB of long values each: shared pages, not one each.
  EXPECT_LT(std::filesystem::file_size(path_), 300u * 4096u);
}

}  // namespace
}  // namespace tablift::jet
