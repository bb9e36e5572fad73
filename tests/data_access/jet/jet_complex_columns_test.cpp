// ACE complex columns (attachments, multi-value lookups, the version history
// of append-only Long Text) and the other column details Access 2007 and
// later keep: what describeTable says about them and the values read from
// their hidden tables.

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "data_access/error_texts.h"
#include "data_access/jet/jet_database.h"
#include "data_access/jet/jet_provider.h"
#include "data_access/jet/value_text.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/data_access/jet/second_reader.h"

namespace tablift::test {
namespace {

using jet::ColumnDefinition;
using jet::ComplexKind;
using jet::ComplexValue;
using jet::JetType;
using jet::TableDefinition;

const ColumnDefinition& Column(const TableDefinition& table, const std::string& name) {
  for (const ColumnDefinition& column : table.columns) {
    if (column.name == name) return column;
  }
  ADD_FAILURE() << "no column " << name;
  static const ColumnDefinition none;
  return none;
}

std::string Text(const jet::Value& value, JetType type) {
  return jet::ValueText(value, type).text;
}

class JetComplexColumnsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> path = JetFixture("complex-columns-ace12.accdb");
    if (!path) GTEST_SKIP() << "no complex-columns fixture";
    ASSERT_EQ(OpenJet(*path, "", connection_), S_OK);
    database_ = JetDatabaseOf(connection_.dataSource);
    ASSERT_NE(database_, nullptr);
    ASSERT_EQ(database_->describeTable("Table1", table_), S_OK);
  }

  // The values of a complex column of Table1, by the key of their row.
  std::multimap<std::int64_t, ComplexValue> values(const std::string& column) {
    std::vector<ComplexValue> read;
    EXPECT_EQ(database_->complexValues("Table1", column, read), S_OK)
        << DescribeOleDbError(&connection_.dataSource, InterfaceId::IDBInitialize);
    std::multimap<std::int64_t, ComplexValue> byKey;
    for (ComplexValue& value : read)
      byKey.emplace(value.key, std::move(value));
    return byKey;
  }

  JetConnection connection_;
  std::shared_ptr<jet::JetDatabase> database_;
  TableDefinition table_;
};

TEST_F(JetComplexColumnsTest, EachComplexColumnSaysWhatItHolds) {
  const ColumnDefinition& attachments = Column(table_, "attach-data");
  EXPECT_EQ(attachments.type, JetType::Complex);
  EXPECT_EQ(attachments.complexKind, ComplexKind::Attachment);
  const ColumnDefinition& multi = Column(table_, "multi-value-data");
  EXPECT_EQ(multi.complexKind, ComplexKind::MultiValue);
  EXPECT_EQ(multi.complexValueType, JetType::Text);
  const ColumnDefinition& history =
      Column(table_, "VersionHistory_F5F8918F-0A3F-4DA9-AE71-184EE5012880");
  EXPECT_EQ(history.complexKind, ComplexKind::VersionHistory);
  EXPECT_EQ(history.versionedColumn, "append-memo-data");

  const ColumnDefinition& appendOnly = Column(table_, "append-memo-data");
  EXPECT_EQ(appendOnly.type, JetType::Memo);
  EXPECT_TRUE(appendOnly.appendOnly);
  EXPECT_TRUE(appendOnly.compressedText);
  EXPECT_FALSE(appendOnly.richText);
  EXPECT_FALSE(appendOnly.hyperlink);
  EXPECT_FALSE(Column(table_, "memo-data").appendOnly);
  EXPECT_EQ(Column(table_, "id").complexKind, ComplexKind::None);

  // The unique indexes Access makes for complex columns are its own.
  ASSERT_EQ(table_.indexes.size(), 1u);
  EXPECT_EQ(table_.indexes[0].name, "PrimaryKey");
  EXPECT_EQ(ListIndexes(connection_.session, "Table1").size(), 1u);
}

TEST_F(JetComplexColumnsTest, MultiValuesArriveOnePerValueUnderTheirRowsKey) {
  const auto byKey = values("multi-value-data");
  ASSERT_EQ(byKey.size(), 6u);
  std::multimap<std::int64_t, std::string> texts;
  for (const auto& [key, value] : byKey)
    texts.emplace(key, Text(value.value, JetType::Text));
  const std::multimap<std::int64_t, std::string> expected = {
      {2, "value1"}, {2, "value4"}, {3, "value1"}, {3, "value2"}, {3, "value3"}, {3, "value4"}};
  EXPECT_EQ(texts, expected);

  std::vector<ComplexValue> ofRow;
  ASSERT_EQ(database_->complexValues("Table1", "multi-value-data", 3, ofRow), S_OK);
  EXPECT_EQ(ofRow.size(), 4u);
  ASSERT_EQ(database_->complexValues("Table1", "multi-value-data", 1, ofRow), S_OK);
  EXPECT_TRUE(ofRow.empty());
}

TEST_F(JetComplexColumnsTest, VersionHistoryKeepsEveryTextWithItsDate) {
  const auto byKey = values("VersionHistory_F5F8918F-0A3F-4DA9-AE71-184EE5012880");
  std::vector<std::pair<std::string, std::string>> row3;
  for (auto [at, end] = byKey.equal_range(3); at != end; ++at) {
    ASSERT_TRUE(at->second.modified.has_value());
    row3.emplace_back(Text(at->second.value, JetType::Memo),
                      Text(*at->second.modified, JetType::DateTime));
  }
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"row3-memo", "2011-09-12 21:21:19"},
      {"row3-memo-revised", "2011-09-12 21:22:33"},
      {"row3-memo-again", "2011-09-12 21:22:45"}};
  EXPECT_EQ(row3, expected);
  EXPECT_EQ(byKey.size(), 5u);
}

TEST_F(JetComplexColumnsTest, AnUnknownComplexColumnIsNotFound) {
  std::vector<ComplexValue> read;
  EXPECT_EQ(database_->complexValues("Table1", "memo-data", read), DB_E_NOTABLE);
  EXPECT_EQ(database_->complexValues("No such table", "attach-data", read), DB_E_NOTABLE);
}

// Every attachment's bytes against mdb-reader's decoding (it inflates what
// Access compressed): the same files under the same rows, in the same order.
void ExpectAttachmentsAsSecondReaderReadsThem(const char* fixture, const std::string& keyColumn,
                                              const std::string& column) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, fixture);
  const auto theirs = AttachmentsBySecondReader(path, "Table1", keyColumn, column);
  if (!theirs) GTEST_SKIP() << "mdb-reader or node is not installed";
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  const auto database = JetDatabaseOf(connection.dataSource);
  ASSERT_NE(database, nullptr);
  const QueryRows rows =
      RunQuery(connection.session, "select [" + keyColumn + "], [" + column + "] from Table1");
  ASSERT_EQ(rows.error, "");
  std::vector<jet::ComplexValue> ours;
  std::vector<std::string> ourRows;
  for (const auto& row : rows.rows) {
    std::vector<ComplexValue> files;
    ASSERT_EQ(database->complexValues("Table1", column, std::stoll(row[1].text), files), S_OK);
    for (ComplexValue& file : files) {
      ourRows.push_back(row[0].text);
      ours.push_back(std::move(file));
    }
  }
  ASSERT_EQ(ours.size(), theirs->size());
  ASSERT_FALSE(ours.empty());
  for (std::size_t i = 0; i < ours.size(); ++i) {
    SCOPED_TRACE(ours[i].fileName);
    EXPECT_EQ(ourRows[i], (*theirs)[i].row);
    EXPECT_EQ(ours[i].fileName, (*theirs)[i].name);
    EXPECT_EQ(ours[i].fileType, (*theirs)[i].type);
    EXPECT_EQ(ours[i].fileData.data, (*theirs)[i].data);
  }
}

TEST(JetAttachmentsTest, EveryFileArrivesWholeAndDecompressed) {
  ExpectAttachmentsAsSecondReaderReadsThem("attachments-ace12.accdb", "ID", "Attachments");
}

// mdb-reader cannot read this file's attachments (it takes another column for
// the key), so the files are checked for what Access was given: text files
// that Access stored deflated.
TEST_F(JetComplexColumnsTest, AttachmentsInflateToTheirFiles) {
  std::vector<std::tuple<std::int64_t, std::string, std::string, std::string>> files;
  for (const auto& [key, file] : values("attach-data")) {
    files.emplace_back(key, file.fileName, file.fileType,
                       std::string(file.fileData.data.begin(), file.fileData.data.end()));
    EXPECT_FALSE(file.fileUrl.has_value());
  }
  const std::vector<std::tuple<std::int64_t, std::string, std::string, std::string>> expected = {
      {2, "test_data.txt", "txt", "this is some test data for attachment."},
      {2, "test_data2.txt", "txt", "this is some more test data for attachment."},
      {4, "test_data2.txt", "txt", "this is some more test data for attachment."}};
  EXPECT_EQ(files, expected);
}

TEST(JetAttachmentsTest, TheAttachmentColumnIsDescribedAsSuch) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "attachments-ace12.accdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  // The session leads to the same database as its data source.
  ASSERT_EQ(JetDatabaseOf(connection.session), JetDatabaseOf(connection.dataSource));
  TableDefinition table;
  ASSERT_EQ(JetDatabaseOf(connection.session)->describeTable("Table1", table), S_OK);
  EXPECT_EQ(Column(table, "Attachments").complexKind, ComplexKind::Attachment);
  ASSERT_EQ(table.indexes.size(), 1u);
  EXPECT_TRUE(table.indexes[0].primaryKey);
}

}  // namespace
}  // namespace tablift::test
