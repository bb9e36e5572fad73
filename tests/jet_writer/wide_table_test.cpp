#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

// 255 columns with long names and an index on each of 32 of them: the
// definition takes several pages, which readers follow page by page.
TEST(WideTableTest, ADefinitionOverSeveralPagesReadsBackWhole) {
  TableDesign design;
  design.name = "Wide";
  for (int i = 0; i < 255; ++i) {
    design.columns.push_back({.name = "Column number " + std::to_string(i) + " with a long name",
                              .type = i % 3 == 0 ? JetType::Long : JetType::Text,
                              .size = 10});
  }
  for (int i = 0; i < 32; ++i) {
    design.indexes.push_back({.name = "Index on column " + std::to_string(3 * i),
                              .columns = {{design.columns[3 * i].name}}});
  }
  std::vector<Value> row;
  for (int i = 0; i < 255; ++i) {
    row.push_back(i % 3 == 0 ? Value{std::int64_t{i}} : Value{std::to_string(i)});
  }
  tablift::test::ScopedTempDir directory;
  const auto path = directory.path() / "wide.mdb";
  ASSERT_TRUE(test::WriteDatabase(path, {{design, {row, row}}}));

  test::LibmdbDatabase mdb(path);
  const auto table = mdb.readTable("Wide");
  ASSERT_TRUE(table.has_value());
  ASSERT_EQ(table->columns.size(), 255u);
  EXPECT_EQ(table->columns[254].name, "Column number 254 with a long name");
  ASSERT_EQ(table->rows.size(), 2u);
  for (int i = 0; i < 255; ++i)
    EXPECT_EQ(table->rows[1][i].text, std::to_string(i));
  // Indexes are listed by name: "Index on column 93" comes last.
  const auto indexes = mdb.readIndexes("Wide");
  ASSERT_EQ(indexes.size(), 32u);
  EXPECT_THAT(indexes.back().columns, ::testing::ElementsAre("Column number 93 with a long name"));
  const auto walked = mdb.walkIndex("Wide", "Index on column 93");
  ASSERT_TRUE(walked.has_value());
  EXPECT_EQ(walked->size(), 2u);

  const auto schema = test::RunMdbTool("mdb-schema", {"-T", "Wide", path.string(), "mysql"});
  EXPECT_EQ(schema.exitCode, 0);
  EXPECT_THAT(schema.out, ::testing::HasSubstr("`Column number 254 with a long name`"));
}

}  // namespace
}  // namespace tablift::jet
