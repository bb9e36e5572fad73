// Tables that Access's designer changed after they were made, read through
// the Jet provider: a deleted column leaves a gap among the column numbers
// and still counts among the columns and variable-length columns ever made;
// a long definition goes on over further pages. Both read whole, as libmdb
// reads them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "data_access/jet/writer/jet_database_writer.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/support/deleted_column_tables.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> ColumnNames(Session& session, const std::string& table) {
  std::vector<std::string> names;
  for (const ColumnRow& column : ListColumns(session, table)) {
    EXPECT_EQ(column.ordinalPosition, names.size() + 1) << column.columnName;
    names.push_back(column.columnName);
  }
  return names;
}

std::vector<std::string> DesignNames(const jet::TableDesign& design) {
  std::vector<std::string> names;
  for (const jet::ColumnDesign& column : design.columns)
    names.push_back(column.name);
  return names;
}

class JetDeletedColumnsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteDeletedColumnTables(path_));
    ASSERT_EQ(OpenJet(path_.string(), "", connection_), S_OK);
  }

  ScopedTempDir directory_;
  const std::filesystem::path path_ = directory_.path() / "deleted.mdb";
  JetConnection connection_;
};

TEST_F(JetDeletedColumnsTest, ColumnsAndIndexesAreListedInAccessOrder) {
  for (const DeletedColumnTable& table : DeletedColumnTables()) {
    EXPECT_EQ(ColumnNames(connection_.session, table.design.name), DesignNames(table.design))
        << table.design.name;
  }
  const std::vector<IndexRow> pairs = ListIndexes(connection_.session, "Pairs");
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].indexName, "Code");
  EXPECT_EQ(pairs[0].columnName, "Code");
  EXPECT_FALSE(pairs[0].unique);
  EXPECT_FALSE(pairs[0].primaryKey);
  const std::vector<IndexRow> ledger = ListIndexes(connection_.session, "Ledger");
  ASSERT_EQ(ledger.size(), 1u);
  EXPECT_EQ(ledger[0].columnName, "Note");
}

TEST_F(JetDeletedColumnsTest, RowsHoldWhatWasWrittenAsMdbExportReadsThem) {
  for (const DeletedColumnTable& table : DeletedColumnTables()) {
    ExpectSameAsMdbExport(connection_.session, path_.string(), table.design.name);
  }
  const QueryRows pairs = RunQuery(connection_.session, "select * from Pairs");
  EXPECT_EQ(pairs.error, "");
  EXPECT_TRUE(pairs.rows.empty());

  // Texts on both sides of the gaps, Nulls and an empty text among them.
  const DeletedColumnTable contacts = DeletedColumnTables()[1];
  const QueryRows read = RunQuery(connection_.session, "select * from Contacts");
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.rows.size(), contacts.rows.size());
  for (std::size_t r = 0; r < read.rows.size(); ++r) {
    ASSERT_EQ(read.rows[r].size(), contacts.rows[r].size());
    for (std::size_t c = 0; c < read.rows[r].size(); ++c) {
      const jet::Value& written = contacts.rows[r][c];
      SCOPED_TRACE("row " + std::to_string(r) + " column " + std::to_string(c));
      EXPECT_EQ(read.rows[r][c].null, std::holds_alternative<jet::Null>(written));
      if (const auto* text = std::get_if<std::string>(&written)) {
        EXPECT_EQ(read.rows[r][c].text, *text);
      }
    }
  }
}

// 120 columns with long names, two of those ever made deleted, and an index
// on the last: the definition takes three pages, read one after the other.
TEST(JetLongDefinitionTest, ADefinitionOverSeveralPagesIsReadWhole) {
  jet::TableDesign design;
  design.name = "Survey";
  for (int i = 0; i < 120; ++i) {
    design.columns.push_back({.name = "Answer to question " + std::to_string(i) + " of the survey",
                              .type = i % 4 == 0 ? jet::JetType::Long : jet::JetType::Text,
                              .size = 10});
  }
  design.deletedColumns = {{.number = 0}, {.number = 50, .type = jet::JetType::Long}};
  design.indexes = {{.name = "Last", .columns = {{design.columns.back().name}}}};
  std::vector<jet::Value> row;
  for (int i = 0; i < 120; ++i) {
    row.push_back(i % 4 == 0 ? jet::Value{std::int64_t{i}} : jet::Value{std::to_string(i)});
  }
  ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "survey.mdb";
  jet::JetDatabaseWriter writer;
  ASSERT_TRUE(writer.create(path).ok());
  ASSERT_TRUE(writer.addTable(design).ok());
  ASSERT_TRUE(writer.appendRow("Survey", row).ok());
  ASSERT_TRUE(writer.finish().ok());
  // The definition really goes on past its first page.
  std::ifstream file(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::size_t continued = 0;
  for (std::size_t page = 3; page * 4096 < bytes.size(); ++page) {
    const char* at = bytes.data() + page * 4096;
    if (at[0] == 0x02 && (at[4] | at[5] | at[6] | at[7]) != 0) ++continued;
  }
  EXPECT_GE(continued, 2u);

  JetConnection connection;
  ASSERT_EQ(OpenJet(path.string(), "", connection), S_OK);
  EXPECT_EQ(ColumnNames(connection.session, "Survey"), DesignNames(design));
  const std::vector<IndexRow> indexes = ListIndexes(connection.session, "Survey");
  ASSERT_EQ(indexes.size(), 1u);
  EXPECT_EQ(indexes[0].columnName, "Answer to question 119 of the survey");
  const QueryRows read = RunQuery(connection.session, "select * from Survey");
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.rows.size(), 1u);
  ASSERT_EQ(read.rows[0].size(), 120u);
  for (int i = 0; i < 120; ++i)
    EXPECT_EQ(read.rows[0][i].text, std::to_string(i));
  ExpectSameAsMdbExport(connection.session, path.string(), "Survey");
}

// Access adds a column without rewriting the rows: a row written before holds
// fewer columns than the table has. Here the second of two rows is made into
// such a row: eight columns, the last of them since deleted; the ninth, a
// Yes/No, came later. The deleted column makes libmdb look for the Yes/No's
// bit in the row's null mask, one byte of which the row has: the byte past
// it is the first byte of the row after it.
TEST(JetAddedColumnTest, ARowWrittenBeforeAColumnWasAddedHasNoValueForIt) {
  jet::TableDesign design{"Readings", {}};
  std::vector<jet::Value> row(8, false);
  for (int i = 0; i < 7; ++i) {
    design.columns.push_back({.name = "Sensor" + std::to_string(i), .type = jet::JetType::Long});
    row[i] = std::int64_t{100 + i};
  }
  design.columns.push_back({.name = "Checked", .type = jet::JetType::Boolean});
  design.deletedColumns = {{.number = 7, .type = jet::JetType::Long}};
  ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "added.mdb";
  jet::JetDatabaseWriter writer;
  ASSERT_TRUE(writer.create(path).ok());
  ASSERT_TRUE(writer.addTable(design).ok());
  ASSERT_TRUE(writer.appendRow("Readings", row).ok());
  ASSERT_TRUE(writer.appendRow("Readings", row).ok());
  ASSERT_TRUE(writer.finish().ok());

  std::vector<unsigned char> bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Each row: the count (2), eight Longs (32, the deleted one's included), a
  // two-byte null mask.
  constexpr std::size_t kRow = 2 + 32 + 2;
  constexpr std::size_t kPage = 4096;
  bool shortened = false;
  for (std::size_t page = 0; page + kPage <= bytes.size() && !shortened; page += kPage) {
    unsigned char* at = bytes.data() + page;
    const std::size_t first = (at[14] | (at[15] << 8)) & 0x1FFF;
    if (at[0] != 0x01 || at[12] != 2 || first != kPage - kRow || at[first] != 9) continue;
    // The second row loses its last byte and its ninth column: it now
    // starts one byte later, with a count of 8 and a one-byte mask.
    const std::size_t second = kPage - 2 * kRow;
    std::copy_backward(at + second, at + second + kRow - 1, at + second + kRow);
    at[second + 1] = 8;
    at[second + 2] = 0;
    at[second + kRow - 1] = 0x7F;  // the seven Longs left are there
    at[16] = static_cast<unsigned char>((second + 1) & 0xFF);
    at[17] = static_cast<unsigned char>((second + 1) >> 8);
    shortened = true;
  }
  ASSERT_TRUE(shortened);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));

  JetConnection connection;
  ASSERT_EQ(OpenJet(path.string(), "", connection), S_OK);
  const QueryRows read =
      RunQuery(connection.session, "select Sensor0, Sensor6, Checked from Readings");
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.rows.size(), 2u);
  for (const std::vector<ColumnValue>& values : read.rows) {
    EXPECT_EQ(values[0].text, "100");
    EXPECT_EQ(values[1].text, "106");
    EXPECT_EQ(values[2].text, "False");
  }
}

}  // namespace
}  // namespace tablift::test
