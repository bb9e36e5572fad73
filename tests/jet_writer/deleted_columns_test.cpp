#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/support/deleted_column_tables.h"
#include "tests/support/test_paths.h"

// Tables whose columns were deleted in Access's designer: the writer leaves
// the deleted columns their numbers, their places in the rows and their
// counts as the engine does, and libmdb finds every value that is left in its
// own column.
namespace tablift::jet {
namespace {

using ::testing::ElementsAre;

class DeletedColumnsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tablift::test::WriteDeletedColumnTables(path_)); }

  tablift::test::ScopedTempDir directory_;
  const std::filesystem::path path_ = directory_.path() / "deleted.mdb";
};

std::vector<std::string> Names(const test::ReadTable& table) {
  std::vector<std::string> names;
  for (const test::ReadColumn& column : table.columns)
    names.push_back(column.name);
  return names;
}

std::vector<int> Numbers(const test::ReadTable& table) {
  std::vector<int> numbers;
  for (const test::ReadColumn& column : table.columns)
    numbers.push_back(column.number);
  return numbers;
}

// A cell against the value written into it: texts and whole numbers by
// libmdb's text, Yes/No by its bit, real numbers and dates by their bytes.
void ExpectCell(const test::ReadCell& cell, const Value& written) {
  if (const auto* flag = std::get_if<bool>(&written)) {
    EXPECT_EQ(cell.text, *flag ? "1" : "0");
  } else if (std::holds_alternative<Null>(written)) {
    EXPECT_TRUE(cell.null) << cell.text;
  } else if (const auto* text = std::get_if<std::string>(&written)) {
    EXPECT_FALSE(cell.null);
    EXPECT_EQ(cell.text, *text);
  } else if (const auto* number = std::get_if<std::int64_t>(&written)) {
    EXPECT_EQ(cell.text, std::to_string(*number));
  } else {
    const double real = std::holds_alternative<double>(written) ? std::get<double>(written)
                                                                : std::get<DateTime>(written).days;
    std::vector<std::uint8_t> bytes(sizeof real);
    std::memcpy(bytes.data(), &real, sizeof real);
    EXPECT_EQ(cell.bytes, bytes);
  }
}

TEST_F(DeletedColumnsTest, TheColumnsLeftKeepTheirNumbersAndTheCountsKeepTheDeletedOnes) {
  test::LibmdbDatabase mdb(path_);
  const auto pairs = mdb.readTable("Pairs");
  ASSERT_TRUE(pairs.has_value());
  EXPECT_THAT(Names(*pairs), ElementsAre("Code", "Label"));
  EXPECT_THAT(Numbers(*pairs), ElementsAre(0, 2));
  // More variable columns ever made than the table has columns.
  EXPECT_EQ(pairs->variableColumns, 3u);

  const auto contacts = mdb.readTable("Contacts");
  ASSERT_TRUE(contacts.has_value());
  EXPECT_THAT(Numbers(*contacts), ElementsAre(1, 2, 3, 5, 6, 7, 8, 9, 10));
  EXPECT_EQ(contacts->variableColumns, 11u);

  const auto ledger = mdb.readTable("Ledger");
  ASSERT_TRUE(ledger.has_value());
  EXPECT_THAT(Names(*ledger), ElementsAre("Id", "Amount", "Settled", "Note", "Booked"));
  EXPECT_THAT(Numbers(*ledger), ElementsAre(0, 2, 4, 6, 7));
  EXPECT_EQ(ledger->variableColumns, 2u);
}

TEST_F(DeletedColumnsTest, LibmdbReadsEveryValueInItsOwnColumn) {
  test::LibmdbDatabase mdb(path_);
  for (const tablift::test::DeletedColumnTable& table : tablift::test::DeletedColumnTables()) {
    SCOPED_TRACE(table.design.name);
    const auto read = mdb.readTable(table.design.name);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->declaredRows, table.rows.size());
    ASSERT_EQ(read->rows.size(), table.rows.size());
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      ASSERT_EQ(read->rows[r].size(), table.rows[r].size());
      for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
        SCOPED_TRACE("row " + std::to_string(r) + " column " + table.design.columns[c].name);
        ExpectCell(read->rows[r][c], table.rows[r][c]);
      }
    }
  }
  const auto exported = test::RunMdbTool("mdb-export", {path_.string(), "Contacts"});
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_THAT(exported.out,
              ::testing::StartsWith("Name,Street,Town,Postcode,Country,Phone,Fax,Email,Remark\n"
                                    "\"Name 1\",\"Street 1\",\"Town 1\",\"Postcode 1\",\"Country "
                                    "1\",\"Phone 1\",\"Fax 1\",\"Email 1\",\"Remark 1\"\n"));
}

// Index definitions name their key columns by number: past a gap, a key
// column is found by its own number, not by its place among the columns left.
TEST_F(DeletedColumnsTest, IndexKeysNameTheirColumnsByNumber) {
  test::LibmdbDatabase mdb(path_);
  const auto pairs = mdb.readIndexes("Pairs");
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].name, "Code");
  EXPECT_EQ(pairs[0].flags & 0x01, 0);  // not unique
  EXPECT_THAT(pairs[0].columns, ElementsAre("Code"));

  const auto ledger = mdb.readIndexes("Ledger");
  ASSERT_EQ(ledger.size(), 1u);
  EXPECT_THAT(ledger[0].columns, ElementsAre("Note"));
  const auto walked = mdb.walkIndex("Ledger", "Note");
  ASSERT_TRUE(walked.has_value());
  std::vector<std::string> notes;
  for (const auto& row : *walked)
    notes.push_back(row[3]);
  EXPECT_THAT(notes, ElementsAre("<null>", "Fee", "Rent"));
}

}  // namespace
}  // namespace tablift::jet
