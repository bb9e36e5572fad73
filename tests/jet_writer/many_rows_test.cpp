#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

TableDesign Design(const std::string& name) {
  TableDesign design;
  design.name = name;
  design.columns = {{.name = "Id", .type = JetType::Long, .autoNumber = true},
                    {.name = "Label", .type = JetType::Text, .size = 60},
                    {.name = "Amount", .type = JetType::Double}};
  return design;
}

std::string Label(int i) {
  return "row " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 40), '#');
}

// Two tables written row by row in turns, so that their pages interleave,
// and each spanning more pages than one inline usage map can list.
TEST(ManyRowsTest, InterleavedTablesOverManyPagesReadBackInOrder) {
  constexpr int kRows = 40000;
  tablift::test::ScopedTempDir directory;
  const auto path = directory.path() / "many.mdb";
  JetDatabaseWriter writer;
  ASSERT_TRUE(writer.create(path).ok());
  ASSERT_TRUE(writer.addTable(Design("Left")).ok());
  ASSERT_TRUE(writer.addTable(Design("Right")).ok());
  for (int i = 0; i < kRows; ++i) {
    ASSERT_TRUE(writer.appendRow("Left", {Null{}, Label(i), i * 0.5}).ok());
    if (i % 2 == 0) {
      ASSERT_TRUE(writer.appendRow("Right", {Null{}, Label(i), -i * 1.0}).ok());
    }
  }
  const WriteStatus finished = writer.finish();
  ASSERT_TRUE(finished.ok()) << finished.message();
  // Each table's pages spread over more than the 512 an inline usage map covers.
  EXPECT_GT(std::filesystem::file_size(path), 4096u * 1000u);

  test::LibmdbDatabase mdb(path);
  ASSERT_TRUE(mdb.opened());
  EXPECT_THAT(mdb.userTables(), ::testing::ElementsAre("Left", "Right"));
  const auto left = mdb.readTable("Left");
  ASSERT_TRUE(left.has_value());
  ASSERT_EQ(left->rows.size(), static_cast<std::size_t>(kRows));
  EXPECT_EQ(left->declaredRows, static_cast<unsigned>(kRows));
  for (int i = 0; i < kRows; ++i) {
    ASSERT_EQ(left->rows[i][0].text, std::to_string(i + 1));
    ASSERT_EQ(left->rows[i][1].text, Label(i));
  }
  const auto right = mdb.readTable("Right");
  ASSERT_TRUE(right.has_value());
  ASSERT_EQ(right->rows.size(), static_cast<std::size_t>(kRows / 2));
  EXPECT_EQ(right->rows.back()[1].text, Label(kRows - 2));

  const auto exported = test::RunMdbTool("mdb-export", {"-H", path.string(), "Right"});
  EXPECT_EQ(exported.exitCode, 0);
  EXPECT_THAT(exported.err, ::testing::IsEmpty());
  EXPECT_EQ(std::count(exported.out.begin(), exported.out.end(), '\n'), kRows / 2);
}

}  // namespace
}  // namespace tablift::jet
