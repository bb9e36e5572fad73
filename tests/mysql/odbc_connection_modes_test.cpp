// The other ways into the ODBC provider: a named data source with a catalog,
// a multi-byte client character set, and a session serving a second statement
// while a rowset of the first is still being read.

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "data_access/catalog_rowsets.h"
#include "data_access/command.h"
#include "data_access/error_texts.h"
#include "data_access/provider_registry.h"
#include "data_access/text_query.h"
#include "tests/mysql/layer_connection.h"
#include "tests/support/private_server.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

// One database per test process: CTest runs these tests in parallel.
std::string ModesDatabase() {
  return "tablift_modes_" + std::to_string(getpid());
}

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class OdbcConnectionModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = PrivateServerFromEnvironment();
    if (!server_) GTEST_SKIP() << "the private MariaDB server is not running";
    ASSERT_EQ(OpenServerDataSource(*server_, dataSource_, std::nullopt, std::nullopt, ""), S_OK);
    ASSERT_EQ(session_.open(dataSource_), S_OK);
    for (const std::string& sql :
         {"create database if not exists " + ModesDatabase() + " character set utf8mb4",
          "create table if not exists " + ModesDatabase() +
              ".words (word varchar(20)) charset=utf8mb4",
          "delete from " + ModesDatabase() + ".words"}) {
      ASSERT_EQ(RunTextQuery(&session_, sql, nullptr, {}), kStatementSucceeded) << sql;
    }
  }

  std::optional<PrivateServer> server_;
  DataSource dataSource_;
  Session session_;
};

TEST_F(OdbcConnectionModesTest, ANamedDataSourceOpensWithTheCatalogAsItsDatabase) {
  ScopedTempDir directory;
  const std::filesystem::path odbcIni = directory.path() / "odbc.ini";
  std::ofstream(odbcIni) << "[tablift-target]\nDriver=" << kMariaDbOdbcDriver
                         << "\nSERVER=" << server_->host << "\nPORT=" << server_->port << "\n";
  ScopedEnvironment environment("ODBCINI", odbcIni.string());

  // The data-source form of the target's properties: no provider string.
  PropertySet set(PropertySetId::DBInit);
  set.addBool(DBPROP_AUTH_MASK_PASSWORD, false);
  set.addString(DBPROP_AUTH_PASSWORD, server_->password);
  set.addString(DBPROP_AUTH_USERID, server_->user);
  set.addString(DBPROP_INIT_DATASOURCE, std::string("tablift-target"));
  set.addString(DBPROP_INIT_CATALOG, std::string("" + ModesDatabase() + ""));
  Clsid clsid = nullptr;
  ASSERT_EQ(CLSIDFromProgID("MSDASQL", clsid), S_OK);
  DataSource named;
  ASSERT_EQ(named.open(clsid, &set, 1), S_OK)
      << DescribeOleDbError(&named, InterfaceId::IDBInitialize);
  Session session;
  ASSERT_EQ(session.open(named), S_OK);
  EXPECT_THAT(FirstColumn(session, "select database()"), ElementsAre("" + ModesDatabase() + ""));
}

TEST_F(OdbcConnectionModesTest, AMultiByteCharacterSetConvertsBothWays) {
  ASSERT_EQ(session_.setClientCharset("GBK"), S_OK);
  EXPECT_EQ(session_.clientCharset(), "gbk");
  // 中文 goes out as GBK bytes and comes back as UTF-8.
  ASSERT_EQ(RunTextQuery(&session_, "insert into " + ModesDatabase() + ".words values ('中文')",
                         nullptr, {}),
            kStatementSucceeded);
  EXPECT_THAT(FirstColumn(session_, "select word from " + ModesDatabase() + ".words"),
              ElementsAre("中文"));
  EXPECT_THAT(FirstColumn(session_, "select hex(word) from " + ModesDatabase() + ".words"),
              ElementsAre("E4B8ADE69687"));
  EXPECT_EQ(RunTextQuery(&session_, "insert into " + ModesDatabase() + ".words values ('Ærø')",
                         nullptr, {}),
            "Character 'Æ' (U+00C6) cannot be sent in character set gbk");
  // Restrictions of catalog rowsets are converted the same way.
  TablesRowset tables;
  EXPECT_TRUE(Failed(tables.open(session_, "" + ModesDatabase() + "", {}, "Ærø")));
  EXPECT_EQ(DescribeOleDbError(&tables, InterfaceId::IDBSchemaRowset),
            "Character 'Æ' (U+00C6) cannot be sent in character set gbk");
}

TEST_F(OdbcConnectionModesTest, ASessionRunsStatementsWhileARowsetIsOpen) {
  for (const std::string& sql :
       {"drop table if exists " + ModesDatabase() + ".t1",
        "drop view if exists " + ModesDatabase() + ".v1",
        "create table " + ModesDatabase() + ".t1 (id int primary key)",
        "create view " + ModesDatabase() + ".v1 as select id from " + ModesDatabase() + ".t1"}) {
    ASSERT_EQ(RunTextQuery(&session_, sql, nullptr, {}), kStatementSucceeded) << sql;
  }
  // What the backup walks do: list the views, and read each one's definition
  // on the same session before moving on.
  TablesRowset views;
  ASSERT_EQ(views.open(session_, "" + ModesDatabase() + "", {}, {}, "VIEW"), S_OK);
  std::vector<std::string> definitions;
  while (views.moveNext() == S_OK) {
    const std::string sql = "show create view " + ModesDatabase() + "." + views.row().tableName;
    RunTextQuery(&session_, sql, nullptr, [&](const TextRow& row) {
      definitions.push_back(views.row().tableName + ":" + std::string(row.text(2)).substr(0, 6));
      return true;
    });
  }
  EXPECT_THAT(definitions, ElementsAre("v1:CREATE"));

  // Indexes of every table of the catalog when no table is named.
  IndexesRowset indexes;
  ASSERT_EQ(indexes.open(session_, "" + ModesDatabase() + ""), S_OK);
  std::vector<std::string> found;
  while (indexes.moveNext() == S_OK) {
    found.push_back(indexes.row().tableName + "." + indexes.row().indexName);
  }
  EXPECT_THAT(found, ElementsAre("t1.PRIMARY"));
}

TEST_F(OdbcConnectionModesTest, DataSourceInformationNeedsAnOpenDataSource) {
  DataSource closed;
  std::string name;
  EXPECT_TRUE(Failed(ReadDataSourceInfo(closed, DBPROP_DBMSNAME, name)));
  Session none;
  EXPECT_TRUE(Failed(none.open(closed)));
  EXPECT_FALSE(none.isOpen());
  EXPECT_EQ(RunTextQuery(&none, "select 1", nullptr, {}), "No Connection!");
}

}  // namespace
}  // namespace tablift::test
