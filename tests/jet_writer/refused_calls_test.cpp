#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <limits>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

using ::testing::HasSubstr;

TableDesign OneColumn(const std::string& table, ColumnDesign column) {
  return {table, {std::move(column)}};
}

class RefusedCallsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = directory_.path() / "refused.mdb";
    ASSERT_TRUE(writer_.create(path_).ok());
  }

  void expectRefusedDesign(const TableDesign& design, const std::string& reason) {
    const WriteStatus status = writer_.addTable(design);
    EXPECT_EQ(status.error(), WriteError::InvalidDesign) << reason;
    EXPECT_THAT(status.message(), HasSubstr(reason));
  }

  tablift::test::ScopedTempDir directory_;
  std::filesystem::path path_;
  JetDatabaseWriter writer_;
};

TEST_F(RefusedCallsTest, AnExistingFileIsNeitherOpenedNorChanged) {
  { std::ofstream(directory_.path() / "taken.mdb") << "not a database"; }
  JetDatabaseWriter second;
  const WriteStatus status = second.create(directory_.path() / "taken.mdb");
  EXPECT_EQ(status.error(), WriteError::FileExists);
  EXPECT_THAT(status.message(), HasSubstr("taken.mdb"));
  std::ifstream in(directory_.path() / "taken.mdb");
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "not a database");
}

TEST_F(RefusedCallsTest, AMissingFolderCannotHoldTheFile) {
  JetDatabaseWriter second;
  const WriteStatus status = second.create(directory_.path() / "no such folder" / "x.mdb");
  EXPECT_EQ(status.error(), WriteError::CannotCreateFile);
  EXPECT_THAT(status.message(), HasSubstr("No such file or directory"));
}

TEST_F(RefusedCallsTest, CallsOutOfOrderAreRefused) {
  JetDatabaseWriter unopened;
  EXPECT_EQ(unopened.addTable(OneColumn("T", {.name = "A", .type = JetType::Long})).error(),
            WriteError::WrongState);
  EXPECT_EQ(unopened.finish().error(), WriteError::WrongState);
  EXPECT_EQ(writer_.create(directory_.path() / "second.mdb").error(), WriteError::WrongState);
  ASSERT_TRUE(writer_.finish().ok());
  EXPECT_EQ(writer_.appendRow("T", {}).error(), WriteError::WrongState);
  EXPECT_EQ(writer_.finish().error(), WriteError::WrongState);
}

TEST_F(RefusedCallsTest, DesignsAccessCannotHoldAreRefused) {
  expectRefusedDesign(OneColumn("", {.name = "A", .type = JetType::Long}), "is empty");
  expectRefusedDesign(OneColumn("a.b", {.name = "A", .type = JetType::Long}), "character .");
  expectRefusedDesign(OneColumn("[x]", {.name = "A", .type = JetType::Long}), "character [");
  expectRefusedDesign(OneColumn(" lead", {.name = "A", .type = JetType::Long}), "blank");
  expectRefusedDesign(OneColumn(std::string(65, 'n'), {.name = "A", .type = JetType::Long}),
                      "longer than 64");
  expectRefusedDesign(OneColumn("T", {.name = "A\tB", .type = JetType::Long}), "control");
  expectRefusedDesign({"T", {}}, "has no columns");
  expectRefusedDesign({"T", std::vector<ColumnDesign>(256, {.name = "A", .type = JetType::Long})},
                      "more than 255 columns");
  expectRefusedDesign({"T",
                       {{.name = "Same", .type = JetType::Long},
                        {.name = "SAME", .type = JetType::Text, .size = 5}}},
                      "two columns named [SAME]");
  expectRefusedDesign(OneColumn("T", {.name = "A", .type = JetType::Text, .size = 0}), "1 to 255");
  expectRefusedDesign(OneColumn("T", {.name = "A", .type = JetType::Text, .size = 256}),
                      "1 to 255");
  expectRefusedDesign(OneColumn("T", {.name = "A", .type = JetType::Binary, .size = 511}),
                      "1 to 510");
  expectRefusedDesign(OneColumn("T", {.name = "A", .type = JetType::Decimal, .precision = 29}),
                      "1 to 28");
  expectRefusedDesign(
      OneColumn("T", {.name = "A", .type = JetType::Decimal, .precision = 4, .scale = 5}),
      "cannot exceed its precision");
  expectRefusedDesign(
      OneColumn("T", {.name = "A", .type = JetType::Text, .size = 5, .autoNumber = true}),
      "only a Long column");
  expectRefusedDesign({"T",
                       {{.name = "A", .type = JetType::Long, .autoNumber = true},
                        {.name = "B", .type = JetType::Long, .autoNumber = true}}},
                      "more than one AutoNumber");
  // Deleted columns count towards the 255 until the file is compacted, and
  // each leaves a number of its own among those the table ever gave out.
  TableDesign deleted{"T", std::vector<ColumnDesign>(255, {.name = "A", .type = JetType::Long})};
  deleted.deletedColumns = {{.number = 3}};
  expectRefusedDesign(deleted, "more than 255 columns, its deleted ones counted");
  deleted = OneColumn("T", {.name = "A", .type = JetType::Long});
  deleted.deletedColumns = {{.number = 2}};
  expectRefusedDesign(deleted, "lies past the columns ever made");
  deleted.deletedColumns = {{.number = 1}, {.number = 1, .type = JetType::Long}};
  expectRefusedDesign(deleted, "is deleted twice");
  expectRefusedDesign(OneColumn("T", {.name = "A", .type = static_cast<JetType>(0x0D)}),
                      "unknown type");

  ASSERT_TRUE(writer_.addTable(OneColumn("Orders", {.name = "A", .type = JetType::Long})).ok());
  expectRefusedDesign(OneColumn("ORDERS", {.name = "A", .type = JetType::Long}), "already exists");
  expectRefusedDesign(OneColumn("msysobjects", {.name = "A", .type = JetType::Long}),
                      "already exists");
}

TEST_F(RefusedCallsTest, RefusedRowsLeaveTheTableAsItWas) {
  TableDesign design;
  design.name = "Checked";
  design.columns = {{.name = "Tiny", .type = JetType::Byte},
                    {.name = "Short", .type = JetType::Integer},
                    {.name = "Name", .type = JetType::Text, .size = 3, .required = true},
                    {.name = "Amount", .type = JetType::Decimal, .precision = 5, .scale = 2},
                    {.name = "Key", .type = JetType::ReplicationId},
                    {.name = "Flag", .type = JetType::Boolean},
                    {.name = "Ratio", .type = JetType::Double}};
  ASSERT_TRUE(writer_.addTable(design).ok());
  const std::vector<Value> good = {
      std::int64_t{1}, std::int64_t{2}, std::string("abc"), Decimal{"123.45"}, Null{}, true, 0.5};
  const auto refuse = [&](std::size_t column, Value value, const std::string& reason) {
    std::vector<Value> row = good;
    row[column] = std::move(value);
    const WriteStatus status = writer_.appendRow("Checked", row);
    EXPECT_EQ(status.error(), WriteError::InvalidValue) << reason;
    EXPECT_THAT(status.message(), HasSubstr(reason));
    EXPECT_THAT(status.message(), HasSubstr("[" + design.columns[column].name + "]"));
  };
  refuse(0, std::int64_t{256}, "outside the range 0 to 255");
  refuse(1, std::int64_t{40000}, "outside the range -32768 to 32767");
  refuse(1, std::string("12"), "cannot hold text");
  refuse(2, std::string("abcd"), "4 characters, more than the column's 3");
  refuse(2, std::string("a\xFF"), "not valid UTF-8");
  refuse(2, Null{}, "required");
  refuse(3, Decimal{"1234.5"}, "more than 5 digits");
  refuse(3, Decimal{"1.234"}, "more than 2 decimals");
  refuse(3, Decimal{"1e5"}, "not a decimal number");
  refuse(4, Guid{"{not-a-guid}"}, "not a Replication ID");
  refuse(5, Null{}, "Yes or No");
  refuse(6, std::numeric_limits<double>::quiet_NaN(), "infinite or undefined");
  EXPECT_THAT(writer_.appendRow("Checked", {std::int64_t{1}}).message(),
              HasSubstr("has 7 columns; the row has 1 values"));
  EXPECT_EQ(writer_.appendRow("Missing", good).error(), WriteError::UnknownTable);

  // Trailing zeros beyond the scale are no loss; a shorter text fits.
  std::vector<Value> second = good;
  second[3] = Decimal{"-1.50000"};
  second[2] = std::string("é");
  ASSERT_TRUE(writer_.appendRow("checked", good).ok());
  ASSERT_TRUE(writer_.appendRow("Checked", second).ok());
  ASSERT_TRUE(writer_.finish().ok());

  test::LibmdbDatabase mdb(path_);
  const auto table = mdb.readTable("Checked");
  ASSERT_TRUE(table.has_value());
  ASSERT_EQ(table->rows.size(), 2u);
  EXPECT_EQ(table->rows[0][3].text, "123.45");
  EXPECT_EQ(table->rows[1][3].text, "-1.50");
  EXPECT_EQ(table->rows[1][2].text, "é");
}

TEST_F(RefusedCallsTest, ARowLargerThanAPageIsRefused) {
  TableDesign wide;
  wide.name = "Wide";
  for (int i = 0; i < 10; ++i) {
    wide.columns.push_back({.name = "C" + std::to_string(i), .type = JetType::Text, .size = 255});
  }
  ASSERT_TRUE(writer_.addTable(wide).ok());
  std::vector<Value> row(10, std::string(255, 'w'));
  const WriteStatus status = writer_.appendRow("Wide", row);
  EXPECT_EQ(status.error(), WriteError::InvalidValue);
  EXPECT_THAT(status.message(), HasSubstr("more than the 4060 a row can hold"));
  row.resize(10, Null{});
  for (int i = 4; i < 10; ++i)
    row[static_cast<std::size_t>(i)] = Null{};
  EXPECT_TRUE(writer_.appendRow("Wide", row).ok());
}

TEST_F(RefusedCallsTest, AnUnfinishedDatabaseIsDeleted) {
  const auto path = directory_.path() / "abandoned.mdb";
  {
    JetDatabaseWriter abandoned;
    ASSERT_TRUE(abandoned.create(path).ok());
    ASSERT_TRUE(abandoned.addTable(OneColumn("T", {.name = "A", .type = JetType::Long})).ok());
    ASSERT_TRUE(abandoned.appendRow("T", {std::int64_t{1}}).ok());
    EXPECT_TRUE(std::filesystem::exists(path));
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace tablift::jet
