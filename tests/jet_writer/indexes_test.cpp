#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr int kRows = 3000;

TableDesign Orders() {
  TableDesign design;
  design.name = "Orders";
  design.columns = {{.name = "OrderId", .type = JetType::Long, .autoNumber = true},
                    {.name = "Code", .type = JetType::Text, .size = 10},
                    {.name = "Qty", .type = JetType::Integer},
                    {.name = "Price", .type = JetType::Double}};
  design.indexes = {{.name = "PrimaryKey", .columns = {{"OrderId"}}, .primaryKey = true},
                    {.name = "ByCode", .columns = {{"Code"}}, .unique = true},
                    {.name = "QtyPrice", .columns = {{"Qty", false}, {"Price"}}}};
  return design;
}

std::string Code(int i) {
  char code[16];
  std::snprintf(code, sizeof code, i % 2 ? "c%05dX" : "C%05dy", (i * 7919) % 100000);
  return code;
}

std::vector<Value> Row(int i) {
  return {Null{}, Code(i), i % 50 == 0 ? Value{Null{}} : Value{std::int64_t{(i * 37) % 200 - 100}},
          i % 70 == 0 ? Value{Null{}} : Value{(i % 300) * 0.5 - 75}};
}

// Enough rows that every index needs several leaf pages under a node page.
class IndexesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    directory_ = new tablift::test::ScopedTempDir;
    path_ = directory_->path() / "indexes.mdb";
    std::vector<std::vector<Value>> rows;
    for (int i = 0; i < kRows; ++i)
      rows.push_back(Row(i));
    ASSERT_TRUE(test::WriteDatabase(path_, {{Orders(), rows}}));
  }
  static void TearDownTestSuite() { delete directory_; }

  // Walks an index with libmdb and checks it lists every row once.
  static std::vector<std::vector<std::string>> walk(const std::string& index) {
    test::LibmdbDatabase mdb(path_);
    auto rows = mdb.walkIndex("Orders", index);
    EXPECT_TRUE(rows.has_value());
    if (!rows) return {};
    EXPECT_EQ(rows->size(), static_cast<std::size_t>(kRows)) << index;
    std::vector<std::string> ids;
    for (const auto& row : *rows)
      ids.push_back(row[0]);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << index;
    return *rows;
  }

  static tablift::test::ScopedTempDir* directory_;
  static std::filesystem::path path_;
};

tablift::test::ScopedTempDir* IndexesTest::directory_ = nullptr;
std::filesystem::path IndexesTest::path_;

TEST_F(IndexesTest, LibmdbReadsTheIndexDefinitions) {
  test::LibmdbDatabase mdb(path_);
  const auto indexes = mdb.readIndexes("Orders");
  ASSERT_EQ(indexes.size(), 3u);
  // The engine lists indexes by name.
  EXPECT_EQ(indexes[0].name, "ByCode");
  EXPECT_EQ(indexes[0].flags & 0x0B, 0x01);
  EXPECT_THAT(indexes[0].columns, ElementsAre("Code"));
  EXPECT_EQ(indexes[1].name, "PrimaryKey");
  EXPECT_EQ(indexes[1].type, 1);
  EXPECT_EQ(indexes[1].flags & 0x0B, 0x09);
  EXPECT_EQ(indexes[2].name, "QtyPrice");
  EXPECT_EQ(indexes[2].flags & 0x0B, 0x00);
  EXPECT_THAT(indexes[2].columns, ElementsAre("Qty", "Price"));
  EXPECT_THAT(indexes[2].ascending, ElementsAre(false, true));

  const auto schema = test::RunMdbTool("mdb-schema", {"--indexes", path_.string(), "mysql"});
  EXPECT_THAT(schema.out, HasSubstr("ALTER TABLE `Orders` ADD PRIMARY KEY (`OrderId`);"));
  EXPECT_THAT(schema.out, HasSubstr("ALTER TABLE `Orders` ADD UNIQUE INDEX `ByCode` (`Code`);"));
  EXPECT_THAT(schema.out,
              HasSubstr("ALTER TABLE `Orders` ADD INDEX `QtyPrice` (`Qty` DESC, `Price`);"));
}

TEST_F(IndexesTest, PrimaryKeyPagesListRowsInKeyOrder) {
  const auto rows = walk("PrimaryKey");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i][0], std::to_string(i + 1));
  }
}

TEST_F(IndexesTest, TextKeysSortAlphabeticallyWithoutRegardToCase) {
  const auto rows = walk("ByCode");
  std::vector<std::string> codes;
  for (const auto& row : rows)
    codes.push_back(row[1]);
  const auto folded = [](std::string text) {
    for (char& c : text)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end(),
                             [&](const auto& a, const auto& b) { return folded(a) < folded(b); }));
}

TEST_F(IndexesTest, DescendingAndAscendingColumnsCombineWithNullsAtTheLowEnd) {
  const auto rows = walk("QtyPrice");
  // Qty descending (Null last), then Price ascending (Null first).
  const auto key = [](const std::vector<std::string>& row) {
    const bool qtyNull = row[2] == "<null>";
    const bool priceNull = row[3] == "<null>";
    return std::make_tuple(qtyNull, qtyNull ? 0 : -std::stoi(row[2]), !priceNull,
                           priceNull ? 0.0 : std::stod(row[3]));
  };
  for (std::size_t i = 1; i < rows.size(); ++i) {
    ASSERT_LE(key(rows[i - 1]), key(rows[i])) << "entry " << i;
  }
  EXPECT_EQ(rows.back()[2], "<null>");
}

class IndexRefusalsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(writer_.create(directory_.path() / "refused.mdb").ok()); }
  WriteStatus design(std::vector<IndexDesign> indexes) {
    TableDesign table = Orders();
    table.name = "T" + std::to_string(++count_);
    table.columns.push_back({.name = "Notes", .type = JetType::Memo});
    table.indexes = std::move(indexes);
    return writer_.addTable(table);
  }

  tablift::test::ScopedTempDir directory_;
  JetDatabaseWriter writer_;
  int count_ = 0;
};

TEST_F(IndexRefusalsTest, IndexDesignsAreChecked) {
  EXPECT_THAT(design({{.name = "X", .columns = {{"Missing"}}}}).message(),
              HasSubstr("names no column [Missing]"));
  EXPECT_THAT(design({{.name = "X", .columns = {{"Qty"}, {"qty"}}}}).message(),
              HasSubstr("names column [qty] twice"));
  EXPECT_THAT(design({{.name = "X", .columns = {}}}).message(), HasSubstr("1 to 10 columns"));
  EXPECT_THAT(design({{.name = "X", .columns = {{"Notes"}}}}).message(),
              HasSubstr("cannot build index entries for column [Notes]"));
  EXPECT_THAT(design({{.name = "A", .columns = {{"Qty"}}, .primaryKey = true},
                      {.name = "B", .columns = {{"Code"}}, .primaryKey = true}})
                  .message(),
              HasSubstr("more than one primary key"));
  EXPECT_THAT(
      design({{.name = "Same", .columns = {{"Qty"}}}, {.name = "SAME", .columns = {{"Code"}}}})
          .message(),
      HasSubstr("two indexes named [SAME]"));
}

TEST_F(IndexRefusalsTest, RowsThatBreakAnIndexAreRefused) {
  ASSERT_TRUE(design(Orders().indexes).ok());
  ASSERT_TRUE(
      writer_.appendRow("T1", {std::int64_t{1}, std::string("A1"), Null{}, Null{}, Null{}}).ok());
  const auto refused = [&](std::vector<Value> row, const std::string& reason) {
    const WriteStatus status = writer_.appendRow("T1", row);
    EXPECT_EQ(status.error(), WriteError::InvalidValue) << reason;
    EXPECT_THAT(status.message(), HasSubstr(reason));
  };
  refused({std::int64_t{2}, std::string("a1"), Null{}, Null{}, Null{}},
          "repeats a value of the unique index [ByCode]");
  refused({std::int64_t{1}, std::string("B1"), Null{}, Null{}, Null{}},
          "repeats a value of the unique index [PrimaryKey]");
  refused({std::int64_t{3}, std::string("with blank"), Null{}, Null{}, Null{}},
          "only letters A-Z and digits");
  // Null keys do not collide in a unique index.
  EXPECT_TRUE(writer_.appendRow("T1", {Null{}, Null{}, Null{}, Null{}, Null{}}).ok());
  EXPECT_TRUE(writer_.appendRow("T1", {Null{}, Null{}, Null{}, Null{}, Null{}}).ok());
  ASSERT_TRUE(writer_.finish().ok());
}

}  // namespace
}  // namespace tablift::jet
