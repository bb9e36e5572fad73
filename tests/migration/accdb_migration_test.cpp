// Access 2007 and later files (.accdb) cloned into the private server: every
// table arrives value for value, each complex column as a table of its own
// with every attachment's bytes, multi-value and version, and an encrypted
// file opens with its password only.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "data_access/jet/jet_provider.h"
#include "data_access/profile_file.h"
#include "engine/connect_side.h"
#include "engine/use_database.h"
#include "migration/table_verification.h"
#include "tests/migration/migration_fixture.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

struct AccdbCase {
  std::string file;
  std::string password;
  std::string format;  // as the log names it
  // The tables the complex columns become, beside the Access tables.
  std::vector<std::string> complexTables;
};

void PrintTo(const AccdbCase& c, std::ostream* out) {
  *out << c.file;
}

std::string CaseName(const ::testing::TestParamInfo<AccdbCase>& info) {
  std::string name;
  for (char c : info.param.file)
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

class AccdbMigrationTest : public MigrationTest {
 protected:
  // Clones the fixture into a database of its own; false (the test skipped)
  // when the fixture is not there.
  bool clone(const std::string& file, const std::string& password = "") {
    const auto fixtures = FixturesDirectory();
    if (!fixtures || !fs::exists(*fixtures / file)) return false;
    const fs::path copy = copyAccessFile(*fixtures / file, fs::path(file).stem().string());
    EXPECT_EQ(copy.extension(), ".accdb");
    database_ = copy.stem().string();
    connect(copy, password, "InnoDB");
    if (HasFatalFailure()) return false;
    task_ = migrate("", "", "");
    EXPECT_NE(task_, nullptr);
    EXPECT_TRUE(UseDatabase(window_, database_, Workbench::kTargetSide));
    return task_ != nullptr;
  }

  std::string database_;
  TaskPtr task_;
};

class AccdbCloneTest : public AccdbMigrationTest,
                       public ::testing::WithParamInterface<AccdbCase> {};

TEST_P(AccdbCloneTest, EveryTableAndComplexColumnArrivesValueForValue) {
  const AccdbCase& c = GetParam();
  if (!clone(c.file, c.password)) GTEST_SKIP() << "no " << c.file;
  if (HasFatalFailure()) return;
  const std::string source = sourceDatabase();

  EXPECT_THAT(logTexts(), Contains("Access file format: " + c.format));
  std::vector<std::string> tables = migratableSourceTables();
  std::vector<std::string> expected = tables;
  expected.insert(expected.end(), c.complexTables.begin(), c.complexTables.end());
  EXPECT_THAT(targetTables(database_), UnorderedElementsAreArray(expected));

  std::vector<std::string> errors;
  for (const std::string& line : markedLogTexts()) {
    if (line.rfind("E::", 0) == 0 || line.rfind("T::", 0) == 0) errors.push_back(line);
  }
  EXPECT_THAT(errors, IsEmpty());

  std::vector<std::string> compared;
  for (const std::string& table : tables) {
    SCOPED_TRACE(table);
    const TableVerification verified =
        VerifyTable(window_, window_.sourceSession(), window_.targetSession(), source, table);
    EXPECT_TRUE(verified.RowComparison::matches())
        << verified.error << " " << verified.sourceRows << "/" << verified.targetRows << " rows, "
        << verified.differingRows << " differ";
    for (const ComplexTableComparison& complex : verified.complexTables) {
      compared.push_back(complex.table);
      EXPECT_TRUE(complex.rows.matches())
          << complex.table << ": " << complex.rows.error << " " << complex.rows.sourceRows << "/"
          << complex.rows.targetRows << " rows, " << complex.rows.differingRows << " differ";
    }
  }
  // Every complex column's table was compared, not only made.
  EXPECT_THAT(compared, UnorderedElementsAreArray(c.complexTables));
  EXPECT_EQ(task_->stateText(), kStateSuccess);
}

INSTANTIATE_TEST_SUITE_P(
    AccessFiles, AccdbCloneTest,
    ::testing::Values(AccdbCase{"types-ace12.accdb", "", "ACE 12", {}},
                      AccdbCase{"numeric-ace14.accdb", "", "ACE 14", {}},
                      AccdbCase{"bigint-ace16.accdb", "", "ACE 16", {}},
                      AccdbCase{"currency-ace12.accdb", "", "ACE 12", {}},
                      AccdbCase{"longtext-ace12.accdb", "", "ACE 12", {}},
                      AccdbCase{"deleted-column-ace12.accdb", "", "ACE 12", {}},
                      AccdbCase{"sample-real-ace12.accdb", "", "ACE 12", {}},
                      AccdbCase{"attachments-ace12.accdb", "", "ACE 12", {"Table1_Attachments"}},
                      AccdbCase{"complex-columns-ace12.accdb",
                                "",
                                "ACE 12",
                                {"Table1_attach-data", "Table1_multi-value-data",
                                 "Table1_append-memo-data"}},
                      AccdbCase{"encrypted-agile-ace14.accdb", "password", "ACE 14", {}}),
    CaseName);

TEST_F(AccdbMigrationTest, LargeNumbersArriveAsBigint) {
  if (!clone("bigint-ace16.accdb")) GTEST_SKIP() << "no bigint-ace16.accdb";
  EXPECT_THAT(query("select data_type from information_schema.columns where table_schema = '" +
                    database_ + "' and table_name = 'Table' and column_name = 'Numeric'"),
              ::testing::ElementsAre("bigint"));
}

TEST_F(AccdbMigrationTest, AttachmentsKeepTheirNamesTypesAndEveryByte) {
  if (!clone("attachments-ace12.accdb")) GTEST_SKIP() << "no attachments-ace12.accdb";
  // The parent keeps no column for the attachments: their key into Access's
  // hidden table means nothing here.
  EXPECT_THAT(query("select column_name from information_schema.columns where table_schema = '" +
                    database_ + "' and table_name = 'Table1' order by ordinal_position"),
              ::testing::ElementsAre("ID", "Comment"));
  EXPECT_THAT(query("select concat(ID, '|', FileName, '|', FileType, '|', convert(FileData using "
                    "utf8mb4)) from "
                    "Table1_Attachments order by ID, FileName"),
              ::testing::ElementsAre(
                  "2|attachment1.txt|txt|Attachment 1", "3|attachment1.txt|txt|Attachment 1",
                  "3|attachment2.txt|txt|Attachment 2", "3|attachment3.txt|txt|Attachment 3"));
  // Tied to the parent: a row deleted there takes its files along.
  EXPECT_THAT(query("select concat(referenced_table_name, '|', column_name, '|', "
                    "referenced_column_name) from information_schema.key_column_usage where "
                    "table_schema = '" +
                    database_ +
                    "' and table_name = 'Table1_Attachments' and "
                    "referenced_table_name is not null"),
              ::testing::ElementsAre("Table1|ID|ID"));
  tryQuery("delete from Table1 where ID = 3");
  EXPECT_THAT(query("select count(*) from Table1_Attachments"), ::testing::ElementsAre("1"));
}

TEST_F(AccdbMigrationTest, MultiValuesAndVersionsArriveOneRowEach) {
  if (!clone("complex-columns-ace12.accdb")) GTEST_SKIP() << "no complex-columns-ace12.accdb";
  EXPECT_THAT(query("select concat(id, '|', Value) from `Table1_multi-value-data` order by 1"),
              ::testing::ElementsAre("row2|value1", "row2|value4", "row3|value1", "row3|value2",
                                     "row3|value3", "row3|value4"));
  // The history of the append-only text, each version with its date; the
  // parent keeps the latest text.
  EXPECT_THAT(query("select concat(id, '|', Value, '|', Modified) from "
                    "`Table1_append-memo-data` order by Modified"),
              ::testing::ElementsAre("row2|row2-memo|2011-09-12 21:21:02",
                                     "row3|row3-memo|2011-09-12 21:21:19",
                                     "row4|row4-memo|2011-09-12 21:22:26",
                                     "row3|row3-memo-revised|2011-09-12 21:22:33",
                                     "row3|row3-memo-again|2011-09-12 21:22:45"));
  EXPECT_THAT(query("select `append-memo-data` from Table1 where id = 'row3'"),
              ::testing::ElementsAre("row3-memo-again"));
  EXPECT_THAT(
      query("select concat(id, '|', FileName, '|', convert(FileData using utf8mb4)) from "
            "`Table1_attach-data` "
            "order by id, FileName"),
      ::testing::ElementsAre("row2|test_data.txt|this is some test data for attachment.",
                             "row2|test_data2.txt|this is some more test data for attachment.",
                             "row4|test_data2.txt|this is some more test data for attachment."));
  // The hidden version-history column is no column of the parent.
  EXPECT_THAT(query("select column_name from information_schema.columns where table_schema = '" +
                    database_ + "' and table_name = 'Table1' order by ordinal_position"),
              ::testing::ElementsAre("id", "memo-data", "append-memo-data"));
}

TEST_F(AccdbMigrationTest, AMigrationConditionNarrowsTheComplexValuesWithTheirParents) {
  const auto fixtures = FixturesDirectory();
  const std::string file = "complex-columns-ace12.accdb";
  if (!fixtures || !fs::exists(*fixtures / file)) GTEST_SKIP() << "no " << file;
  const fs::path copy = copyAccessFile(*fixtures / file, "complex_condition");
  connect(copy, "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string source = sourceDatabase();
  ASSERT_TRUE(WriteProfileString(window_.conditionFile(), source, "Table1", "id <> 'row3'"));
  const TaskPtr task = migrate("", "", "");
  ASSERT_NE(task, nullptr);
  const std::string database = copy.stem().string();
  ASSERT_TRUE(UseDatabase(window_, database, Workbench::kTargetSide));
  EXPECT_THAT(query("select concat(id, '|', Value) from `Table1_multi-value-data` order by 1"),
              ::testing::ElementsAre("row2|value1", "row2|value4"));
  EXPECT_THAT(query("select count(*) from `Table1_append-memo-data` where id = 'row3'"),
              ::testing::ElementsAre("0"));
  // Verification reads the same narrowed rows on both sides.
  const TableVerification verified =
      VerifyTable(window_, window_.sourceSession(), window_.targetSession(), source, "Table1");
  EXPECT_TRUE(verified.matches()) << verified.error;
  ASSERT_EQ(verified.complexTables.size(), 3u);
  EXPECT_EQ(verified.complexTables[1].rows.sourceRows, 2u);
  EXPECT_EQ(task->stateText(), kStateSuccess);
}

TEST_F(AccdbMigrationTest, ARowWhoseAutoNumberHoldsNoNumberIsCountedNotRenumbered) {
  const auto fixtures = FixturesDirectory();
  const std::string file = "currency-ace12.accdb";
  if (!fixtures || !fs::exists(*fixtures / file)) GTEST_SKIP() << "no " << file;
  // Cut inside its data, the file still lists its one row, but the row's
  // AutoNumber reads as Null: MySQL would number it 1 and the migration
  // would claim a row it changed.
  const fs::path cut = temp_.path() / (UniqueName("cut_currency") + ".accdb");
  {
    std::ifstream in(*fixtures / file, std::ios::binary);
    std::string bytes(359936, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::ofstream(cut, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  connect(cut, "", "InnoDB");
  if (HasFatalFailure()) return;
  const TaskPtr task = migrate("", "", "");
  ASSERT_NE(task, nullptr);
  dropLater(cut.stem().string());
  EXPECT_THAT(markedLogTexts(),
              Contains("E::[Table] 1 records were left out: their AutoNumber column [ID] holds no "
                       "number, and MySQL would give them a new one"));
  EXPECT_EQ(task->stateText(), kStateFailure);
}

TEST_F(AccdbMigrationTest, EncryptedFileRefusesAWrongPasswordWithAccessMessage) {
  const auto fixtures = FixturesDirectory();
  const std::string file = "encrypted-agile-ace14.accdb";
  if (!fixtures || !fs::exists(*fixtures / file)) GTEST_SKIP() << "no " << file;
  const fs::path copy = copyAccessFile(*fixtures / file, "encrypted_wrong");
  ConnectionProfile& source = window_.sourceProfile();
  source.providerName = "Microsoft Jet 4.0 OLE DB Provider";
  source.progId = kJetProgId;
  source.sourceName = copy.string();
  source.userId = "Admin";
  source.password = "not the password";
  ConnectSource(window_);
  EXPECT_EQ(window_.sourceSession(), nullptr);
  EXPECT_THAT(logTexts(), Contains("Not a valid password."));
}

}  // namespace
}  // namespace tablift::test
