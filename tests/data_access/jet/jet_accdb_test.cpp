// Access 2007 and later files (.accdb): they open where .mdb files open, say
// which format they are, and read value for value as mdbtools and the
// independent mdb-reader read them, the encrypted one with its password.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "data_access/property_set.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/data_access/jet/second_reader.h"

namespace tablift::test {
namespace {

std::string Info(JetConnection& connection, PropertyId id) {
  std::string value;
  EXPECT_EQ(ReadDataSourceInfo(connection.dataSource, id, value), S_OK);
  return value;
}

TEST(JetAccdbTest, TheDataSourceNamesTheFileFormatAndTheRealPath) {
  const std::pair<const char*, const char*> files[] = {
      {"northwind-jet3.mdb", "Jet 3"},  {"types-ole-jet4.mdb", "Jet 4"},
      {"types-ace12.accdb", "ACE 12"},  {"numeric-ace14.accdb", "ACE 14"},
      {"bigint-ace16.accdb", "ACE 16"},
  };
  for (const auto& [name, format] : files) {
    TABLIFT_JET_FIXTURE_OR_SKIP(path, name);
    JetConnection connection;
    ASSERT_EQ(OpenJet(path, "", connection), S_OK) << name;
    EXPECT_EQ(Info(connection, DBPROP_JETOLEDB_ENGINE), format);
    EXPECT_EQ(Info(connection, DBPROP_DATASOURCENAME), path);
  }
  TABLIFT_JET_FIXTURE_OR_SKIP(accdb, "types-ace12.accdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(accdb, "", connection), S_OK);
  EXPECT_EQ(Info(connection, DBPROP_CURRENTCATALOG),
            accdb.substr(0, accdb.size() - std::string(".accdb").size()));
}

TEST(JetAccdbTest, EveryTableOfThePlainFilesReadsAsMdbExportReadsIt) {
  for (const char* name :
       {"types-ace12.accdb", "numeric-ace14.accdb", "currency-ace12.accdb", "longtext-ace12.accdb",
        "deleted-column-ace12.accdb", "attachments-ace12.accdb", "complex-columns-ace12.accdb",
        "sample-real-ace12.accdb"}) {
    TABLIFT_JET_FIXTURE_OR_SKIP(path, name);
    JetConnection connection;
    ASSERT_EQ(OpenJet(path, "", connection), S_OK) << name;
    const std::vector<TableRow> tables = ListTables(connection.session, "TABLE");
    ASSERT_FALSE(tables.empty()) << name;
    for (const TableRow& table : tables) {
      SCOPED_TRACE(std::string(name) + " " + table.tableName);
      ExpectSameAsMdbExport(connection.session, path, table.tableName);
    }
  }
}

TEST(JetAccdbTest, LargeNumbersAreWholeSixtyFourBitIntegers) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "bigint-ace16.accdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  const std::vector<ColumnRow> columns = ListColumns(connection.session, "Table");
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[1].columnName, "Numeric");
  EXPECT_EQ(columns[1].dataType, DBTYPE_I8);
  EXPECT_EQ(columns[1].numericPrecision, 19);
  const QueryRows rows = RunQuery(connection.session, "select Numeric + 1 from [Table]");
  ASSERT_EQ(rows.rows.size(), 1u);
  EXPECT_EQ(rows.rows[0][0].text, "43");
  ExpectSameAsSecondReader(connection.session, path, "", "Table");
}

TEST(JetAccdbTest, AnEncryptedFileOpensWithItsPasswordOnly) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "encrypted-agile-ace14.accdb");
  for (const char* wrong : {"", "Password", "passwor", "password "}) {
    JetConnection connection;
    std::string error;
    EXPECT_EQ(OpenJet(path, wrong, connection, &error), DB_SEC_E_AUTH_FAILED) << wrong;
    EXPECT_EQ(error, "Not a valid password.");
  }
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "password", connection), S_OK);
  EXPECT_EQ(Info(connection, DBPROP_JETOLEDB_ENGINE), "ACE 14");
  const std::vector<TableRow> tables = ListTables(connection.session, "TABLE");
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].tableName, "Table1");
  ExpectSameAsSecondReader(connection.session, path, "password", "Table1");
}

TEST(JetAccdbTest, NoDecryptedCopyIsWrittenToDisk) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "encrypted-agile-ace14.accdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "password", connection), S_OK);
  // The reader reads the decrypted pages from anonymous memory.
  bool readsMemory = false;
  for (const pid_t reader : ReaderProcesses()) {
    std::error_code error;
    const auto target =
        std::filesystem::read_symlink("/proc/" + std::to_string(reader) + "/fd/4", error);
    if (!error && target.string().rfind("/memfd:", 0) == 0) readsMemory = true;
  }
  EXPECT_TRUE(readsMemory);
}

// In a program with no descriptors open beyond the standard three, the
// decrypted image takes the first free one, where the reader's socket goes.
TEST(JetAccdbTest, AnEncryptedFileOpensInAProgramWithNoOtherFilesOpen) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "encrypted-agile-ace14.accdb");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close_range(3, ~0u, 0);
    JetConnection connection;
    if (OpenJet(path, "password", connection) != S_OK) ::_exit(1);
    const QueryRows rows = RunQuery(connection.session, "select count(*) from Table1");
    ::_exit(rows.error.empty() && rows.rows.size() == 1 && rows.rows[0][0].text == "3" ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tablift::test
