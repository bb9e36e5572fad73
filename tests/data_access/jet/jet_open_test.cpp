// Opening Access files through the Jet provider: what opens, what is refused
// and with which of the Jet engine's messages, and what the data source says
// about itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/data_access/jet/jet_test_database.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

TEST(JetOpenTest, AMissingFileIsNotFound) {
  JetConnection connection;
  std::string error;
  EXPECT_TRUE(Failed(OpenJet("/no/such/folder/shop.mdb", "", connection, &error)));
  EXPECT_EQ(error, "Could not find file '/no/such/folder/shop.mdb'.");
  EXPECT_FALSE(connection.session.isOpen());
}

TEST(JetOpenTest, AFileThatIsNoAccessDatabaseIsUnrecognized) {
  ScopedTempDir directory;
  const std::string path = (directory.path() / "notes.mdb").string();
  std::ofstream(path) << std::string(8192, 'x');
  JetConnection connection;
  std::string error;
  EXPECT_TRUE(Failed(OpenJet(path, "", connection, &error)));
  EXPECT_EQ(error, "Unrecognized database format '" + path + "'.");
}

TEST(JetOpenTest, APasswordProtectedDatabaseNeedsItsPassword) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "password-jet4.mdb");
  for (const char* wrong : {"", "Password", "passwor", "password "}) {
    JetConnection connection;
    std::string error;
    EXPECT_TRUE(Failed(OpenJet(path, wrong, connection, &error))) << wrong;
    EXPECT_EQ(error, "Not a valid password.");
  }
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "password", connection), S_OK);
  const std::vector<TableRow> tables = ListTables(connection.session, "TABLE");
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].tableName, "Table1");
}

// A copy of a database without password, given one: the header keeps the
// password scrambled by a key stream (and in Jet 4 masked with the creation
// date), so adding the password's bytes into the stored bytes sets it.
std::string WithPassword(const std::string& original, const std::filesystem::path& copy,
                         const std::string& passwordBytes) {
  std::filesystem::copy_file(original, copy);
  std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
  for (std::size_t i = 0; i < passwordBytes.size(); ++i) {
    file.seekg(static_cast<std::streamoff>(0x42 + i));
    const char stored = static_cast<char>(file.get());
    file.seekp(static_cast<std::streamoff>(0x42 + i));
    file.put(static_cast<char>(stored ^ passwordBytes[i]));
  }
  return copy.string();
}

TEST(JetOpenTest, NonAsciiPasswordsInBothVersions) {
  TABLIFT_JET_FIXTURE_OR_SKIP(jet3, "keys-relationships-jet3.mdb");
  TABLIFT_JET_FIXTURE_OR_SKIP(jet4, "keys-relationships-jet4.mdb");
  ScopedTempDir directory;
  // "Grüße" in code page 1252 and in UTF-16LE.
  const std::string jet3Copy = WithPassword(jet3, directory.path() / "jet3.mdb",
                                            "Gr\xFC\xDF"
                                            "e");
  const std::string jet4Copy =
      WithPassword(jet4, directory.path() / "jet4.mdb", std::string("G\0r\0\xFC\0\xDF\0e\0", 10));
  for (const std::string& path : {jet3Copy, jet4Copy}) {
    JetConnection refused;
    std::string error;
    EXPECT_TRUE(Failed(OpenJet(path, "Grusse", refused, &error))) << path;
    EXPECT_EQ(error, "Not a valid password.");
    JetConnection opened;
    EXPECT_EQ(OpenJet(path,
                      "Gr\xC3\xBC\xC3\x9F"
                      "e",
                      opened, &error),
              S_OK)
        << path << error;
  }
}

TEST(JetOpenTest, ADatabaseWithoutPasswordTakesAnyPassword) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "empty-jet4.mdb");
  JetConnection connection;
  EXPECT_EQ(OpenJet(path, "whatever", connection), S_OK);
}

TEST(JetOpenTest, TheDataSourceNamesTheEngineAndItsVersion) {
  TABLIFT_JET_FIXTURE_OR_SKIP(jet3, "northwind-jet3.mdb");
  TABLIFT_JET_FIXTURE_OR_SKIP(jet4, "queries-jet4.mdb");
  struct Case {
    std::string path;
    const char* version;
  };
  for (const Case& expected : {Case{jet3, "03.50.0000"}, Case{jet4, "04.00.0000"}}) {
    JetConnection connection;
    ASSERT_EQ(OpenJet(expected.path, "", connection), S_OK);
    std::string value;
    EXPECT_EQ(ReadDataSourceInfo(connection.dataSource, DBPROP_DBMSNAME, value), S_OK);
    EXPECT_EQ(value, "MS Jet");
    EXPECT_EQ(ReadDataSourceInfo(connection.dataSource, DBPROP_DBMSVER, value), S_OK);
    EXPECT_EQ(value, expected.version);
    // The data source name and the current catalog, which the catalog tree
    // reads for its root and its database.
    EXPECT_EQ(ReadDataSourceInfo(connection.dataSource, static_cast<PropertyId>(38), value), S_OK);
    EXPECT_EQ(value, expected.path);
    EXPECT_EQ(ReadDataSourceInfo(connection.dataSource, static_cast<PropertyId>(37), value), S_OK);
    EXPECT_EQ(value, expected.path.substr(0, expected.path.size() - 4));
  }
}

TEST(JetOpenTest, AnUpperCaseEndingOpensAndKeepsItsName) {
  TABLIFT_JET_FIXTURE_OR_SKIP(original, "keys-relationships-jet4.mdb");
  ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "KEYS.MDB";
  std::filesystem::copy_file(original, path);
  JetConnection connection;
  ASSERT_EQ(OpenJet(path.string(), "", connection), S_OK);
  EXPECT_EQ(ListTables(connection.session, "TABLE").size(), 3u);

  CatalogsRowset catalogs;
  ASSERT_EQ(catalogs.open(connection.session), S_OK);
  ASSERT_EQ(catalogs.moveNext(), S_OK);
  EXPECT_EQ(catalogs.row().catalogName, path.string());
}

TEST(JetOpenTest, TheCatalogIsThePathWithoutItsEnding) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "keys-relationships-jet3.mdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  CatalogsRowset catalogs;
  ASSERT_EQ(catalogs.open(connection.session), S_OK);
  ASSERT_EQ(catalogs.moveNext(), S_OK);
  EXPECT_EQ(catalogs.row().catalogName, path.substr(0, path.size() - 4));
  EXPECT_EQ(catalogs.moveNext(), DB_S_ENDOFROWSET);
}

}  // namespace
}  // namespace tablift::test
