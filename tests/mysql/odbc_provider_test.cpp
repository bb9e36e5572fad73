// The data access layer over the ODBC provider, against the private MariaDB
// server through unixODBC and MariaDB Connector/ODBC: opening, error texts,
// text queries, catalog rowsets and the connection's character set.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "data_access/catalog_rowsets.h"
#include "data_access/command.h"
#include "data_access/data_source.h"
#include "data_access/error_texts.h"
#include "data_access/session.h"
#include "data_access/text_query.h"
#include "tests/mysql/layer_connection.h"
#include "tests/support/private_server.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class OdbcProviderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::optional<PrivateServer> server = PrivateServerFromEnvironment();
    if (!server) return;
    DataSource dataSource;
    Session session;
    if (Failed(OpenServerDataSource(*server, dataSource, std::nullopt, std::nullopt, "")) ||
        Failed(session.open(dataSource))) {
      return;
    }
    for (const std::string& sql :
         {"drop database if exists " + LayerDatabase(),
          "create database " + LayerDatabase() + " character set utf8mb4"}) {
      RunTextQuery(&session, sql, nullptr, {});
    }
  }

  void SetUp() override {
    server_ = PrivateServerFromEnvironment();
    if (!server_) GTEST_SKIP() << "the private MariaDB server is not running";
    const HResult opened = OpenServerDataSource(*server_, dataSource_);
    ASSERT_EQ(opened, S_OK) << DescribeOleDbError(&dataSource_, InterfaceId::IDBInitialize);
    ASSERT_EQ(session_.open(dataSource_), S_OK);
  }

  // Runs a statement that gives no rows and expects it to succeed.
  void Run(const std::string& sql) {
    const PropertySet properties = QueryRowsetProperties();
    ASSERT_EQ(RunTextQuery(&session_, sql, &properties, {}), kStatementSucceeded) << sql;
  }

  std::optional<PrivateServer> server_;
  DataSource dataSource_;
  Session session_;
};

TEST_F(OdbcProviderTest, ReportsTheDbmsNameAndVersion) {
  std::string name;
  std::string version;
  ASSERT_EQ(ReadDataSourceInfo(dataSource_, DBPROP_DBMSNAME, name), S_OK);
  ASSERT_EQ(ReadDataSourceInfo(dataSource_, DBPROP_DBMSVER, version), S_OK);
  EXPECT_EQ(name, "MariaDB");
  // The driver's form is ODBC's "##.##.####": 10.11.19 reads 10.11.000019.
  std::vector<std::string> parts;
  for (std::size_t at = 0; at <= version.size();) {
    const std::size_t dot = std::min(version.find('.', at), version.size());
    parts.push_back(std::to_string(std::stoi(version.substr(at, dot - at))));
    at = dot + 1;
  }
  ASSERT_EQ(parts.size(), 3u) << version;
  const std::vector<std::string> serverVersion = FirstColumn(session_, "select @@version");
  ASSERT_EQ(serverVersion.size(), 1u);
  EXPECT_THAT(serverVersion[0], StartsWith(parts[0] + "." + parts[1] + "." + parts[2]));
  EXPECT_TRUE(Failed(ReadDataSourceInfo(dataSource_, DBPROP_INIT_MODE, name)));
}

TEST_F(OdbcProviderTest, AWrongPasswordGivesTheDriversOwnMessage) {
  DataSource refused;
  EXPECT_TRUE(Failed(OpenServerDataSource(*server_, refused, std::nullopt, "not the password")));
  const std::string text = DescribeOleDbError(&refused, InterfaceId::IDBInitialize);
  EXPECT_THAT(text, HasSubstr("Access denied for user '" + server_->user + "'"));
  EXPECT_THAT(text, StartsWith("[ma-"));
}

TEST_F(OdbcProviderTest, CredentialsWithSeparatorsAndBracesReachTheServer) {
  Run("drop user if exists 'tablift_odd'@'%'");
  Run("create user 'tablift_odd'@'%' identified by 'p;w}d{x='");
  Run("grant all on " + LayerDatabase() + ".* to 'tablift_odd'@'%'");
  // The driver string says UID=root; the user ID property wins.
  DataSource odd;
  ASSERT_EQ(OpenServerDataSource(*server_, odd, "tablift_odd", "p;w}d{x="), S_OK)
      << DescribeOleDbError(&odd, InterfaceId::IDBInitialize);
  Session session;
  ASSERT_EQ(session.open(odd), S_OK);
  EXPECT_THAT(FirstColumn(session, "select current_user()"), ElementsAre("tablift_odd@%"));
}

TEST_F(OdbcProviderTest, TextQueriesHandOnEveryColumnAsTextWithNullStatus) {
  Run("drop table if exists texts");
  Run("create table texts (id int not null, name varchar(20), note text, raw varbinary(8))");
  Run("insert into texts values (1, null, repeat('n', 9000), x'00ff10'), (2, 'two', '', null)");

  const PropertySet properties = QueryRowsetProperties();
  std::vector<ColumnInfo> columns;
  std::vector<std::string> rows;
  const std::string result = RunTextQuery(
      &session_, "select id, name, note, raw from texts order by id", &properties,
      [&](const TextRow& row) {
        std::string line;
        for (std::size_t i = 1; i <= row.columnCount(); ++i) {
          line += row.isNull(i) ? "<null>"
                                : std::to_string(row.text(i).size()) + ":" +
                                      std::string(row.text(i).substr(0, 8));
          line += "|";
        }
        ColumnValue whole;
        EXPECT_EQ(row.fullValue(3, whole), S_OK);
        line += std::to_string(whole.text.size());
        rows.push_back(line);
        return true;
      },
      [&](const std::vector<ColumnInfo>& info) {
        columns = info;
        return true;
      });
  EXPECT_EQ(result, "");
  // The 9000-character note arrives cut to 8191 in its slot, whole when read
  // in full; binary comes as upper-case hexadecimal digits.
  EXPECT_THAT(rows, ElementsAre("1:1|<null>|8191:nnnnnnnn|6:00FF10|9000", "1:2|3:two|0:|<null>|0"));
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_EQ(columns[0].name, "id");
  EXPECT_EQ(columns[0].type, DBTYPE_I4);
  EXPECT_EQ(columns[0].flags & DBCOLUMNFLAGS_ISNULLABLE, 0u);
  EXPECT_TRUE(columns[1].type == DBTYPE_STR || columns[1].type == DBTYPE_WSTR);
  EXPECT_NE(columns[2].flags & DBCOLUMNFLAGS_ISLONG, 0u);
  EXPECT_EQ(columns[3].type, DBTYPE_BYTES);

  // A one-bit column is a boolean, not its raw byte.
  Run("drop table if exists flags");
  Run("create table flags (id int, f bit(1))");
  Run("insert into flags values (1, 1), (2, 0), (3, null)");
  EXPECT_THAT(FirstColumn(session_, "select f from flags order by id"),
              ElementsAre("True", "False", "<null>"));
}

TEST_F(OdbcProviderTest, TextQueryResultsForNoRowsNoRowsetAndFailures) {
  Run("drop table if exists empty_one");
  Run("create table empty_one (id int)");
  const PropertySet properties = QueryRowsetProperties();
  int calls = 0;
  EXPECT_EQ(RunTextQuery(&session_, "select * from empty_one", &properties,
                         [&](const TextRow&) { return ++calls > 0; }),
            "");
  EXPECT_EQ(calls, 0);
  EXPECT_THAT(RunTextQuery(&session_, "select * from nope", &properties, {}),
              HasSubstr("Table '" + LayerDatabase() + ".nope' doesn't exist"));
  EXPECT_EQ(RunTextQuery(nullptr, "select 1", &properties, {}), "No Connection!");
}

TEST_F(OdbcProviderTest, CommandsReportRowsAffected) {
  Run("drop table if exists counted");
  Run("create table counted (id int)");
  Run("insert into counted values (1), (2), (3)");
  Command command;
  ASSERT_EQ(command.create(session_, "update counted set id = id + 10 where id > 1"), S_OK);
  std::int64_t affected = -1;
  ASSERT_EQ(command.open(nullptr, &affected), S_OK);
  EXPECT_FALSE(command.rowset().isOpen());
  EXPECT_EQ(affected, 2);
  // A searched statement that touches no row is still a success.
  ASSERT_EQ(command.create(session_, "delete from counted where id = 99"), S_OK);
  ASSERT_EQ(command.open(nullptr, &affected), S_OK);
  EXPECT_EQ(affected, 0);
  // Bound to the command's own text accessor.
  ASSERT_EQ(command.create(session_, "select count(*), max(id) from counted"), S_OK);
  ASSERT_EQ(command.open(nullptr, nullptr, true), S_OK);
  ASSERT_EQ(command.rowset().moveNext(), S_OK);
  EXPECT_EQ(command.textAccessor().text(1), "3");
  EXPECT_EQ(command.textAccessor().text(2), "13");
  EXPECT_EQ(command.rowset().moveNext(), DB_S_ENDOFROWSET);
}

TEST_F(OdbcProviderTest, CatalogRowsetsListTablesColumnsAndIndexes) {
  Run("drop table if exists a_b");
  Run("drop table if exists aXb");
  Run("create table a_b (id int unsigned not null auto_increment, code char(4) not null, "
      "name varchar(40) default 'none', price decimal(10,2), at datetime, "
      "primary key (id), unique key code_key (code), key name_key (name))");
  Run("create table aXb (other int)");

  CatalogsRowset catalogs;
  ASSERT_EQ(catalogs.open(session_, LayerDatabase()), S_OK);
  ASSERT_EQ(catalogs.moveNext(), S_OK);
  EXPECT_EQ(catalogs.row().catalogName, LayerDatabase());
  EXPECT_EQ(catalogs.moveNext(), DB_S_ENDOFROWSET);

  // "_" in a restriction is a name character, not a wildcard.
  TablesRowset tables;
  ASSERT_EQ(tables.open(session_, LayerDatabase(), {}, "a_b"), S_OK);
  std::vector<std::string> found;
  while (tables.moveNext() == S_OK)
    found.push_back(tables.row().tableName + "/" + tables.row().tableType);
  EXPECT_THAT(found, ElementsAre("a_b/TABLE"));

  ColumnsRowset columns;
  ASSERT_EQ(columns.open(session_, LayerDatabase(), {}, "a_b"), S_OK);
  std::vector<ColumnRow> rows;
  while (columns.moveNext() == S_OK)
    rows.push_back(columns.row());
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].columnName, "id");
  EXPECT_EQ(rows[0].ordinalPosition, 1u);
  EXPECT_EQ(rows[0].dataType, DBTYPE_UI4);
  EXPECT_EQ(rows[1].columnName, "code");
  EXPECT_FALSE(rows[1].isNullable);
  EXPECT_EQ(rows[1].columnFlags & DBCOLUMNFLAGS_ISNULLABLE, 0u);
  EXPECT_TRUE(rows[1].dataType == DBTYPE_STR || rows[1].dataType == DBTYPE_WSTR);
  EXPECT_EQ(rows[1].characterMaximumLength, 4u);
  EXPECT_TRUE(rows[2].isNullable);
  EXPECT_TRUE(rows[2].columnHasDefault);
  EXPECT_THAT(rows[2].columnDefault, HasSubstr("none"));
  EXPECT_EQ(rows[3].dataType, DBTYPE_NUMERIC);
  EXPECT_EQ(rows[3].numericPrecision, 10u);
  EXPECT_EQ(rows[3].numericScale, 2);
  EXPECT_EQ(rows[4].dataType, DBTYPE_DBTIMESTAMP);

  IndexesRowset indexes;
  ASSERT_EQ(indexes.open(session_, LayerDatabase(), {}, {}, {}, "a_b"), S_OK);
  std::vector<std::string> described;
  while (indexes.moveNext() == S_OK) {
    const IndexRow& index = indexes.row();
    described.push_back(index.indexName + ":" + index.columnName + (index.primaryKey ? ":pk" : "") +
                        (index.unique ? ":unique" : "") + ":" +
                        std::to_string(index.ordinalPosition));
  }
  EXPECT_THAT(described,
              ::testing::UnorderedElementsAre("PRIMARY:id:pk:unique:1", "code_key:code:unique:1",
                                              "name_key:name:1"));
}

TEST_F(OdbcProviderTest, ALatin1SessionSendsAndReadsWesternTextFaithfully) {
  EXPECT_EQ(session_.clientCharset(), "latin1");
  EXPECT_THAT(FirstColumn(session_, "select @@character_set_client"), ElementsAre("latin1"));
  Run("drop table if exists names");
  Run("create table names (name varchar(40)) default charset=utf8mb4");
  Run("insert into names values ('M\xC3\xBCller'), ('\xC3\x86r\xC3\xB8 \xE2\x82\xAC')");
  EXPECT_THAT(FirstColumn(session_, "select name from names order by name"),
              ElementsAre("M\xC3\xBCller", "\xC3\x86r\xC3\xB8 \xE2\x82\xAC"));
  // The server holds the right characters, not the bytes reinterpreted.
  EXPECT_THAT(
      FirstColumn(session_, "select hex(convert(name using utf8mb4)) from names order by name"),
      ElementsAre("4DC3BC6C6C6572", "C38672C3B820E282AC"));

  const PropertySet properties = QueryRowsetProperties();
  EXPECT_EQ(RunTextQuery(&session_, "insert into names values ('\xCE\xA9')", &properties, {}),
            "Character '\xCE\xA9' (U+03A9) cannot be sent in character set latin1");

  // Names travel the same way: in statements, catalog restrictions, column
  // information and the server's error texts.
  Run("drop table if exists `Größe`");
  Run("create table `Größe` (`Stück` int)");
  ColumnsRowset columns;
  ASSERT_EQ(columns.open(session_, LayerDatabase(), {}, "Größe"), S_OK);
  ASSERT_EQ(columns.moveNext(), S_OK);
  EXPECT_EQ(columns.row().tableName, "Größe");
  EXPECT_EQ(columns.row().columnName, "Stück");
  std::string columnName;
  RunTextQuery(&session_, "select * from `Größe`", &properties, {},
               [&](const std::vector<ColumnInfo>& info) {
                 columnName = info.at(0).name;
                 return true;
               });
  EXPECT_EQ(columnName, "Stück");
  EXPECT_THAT(RunTextQuery(&session_, "select * from `Ænd`", &properties, {}),
              HasSubstr("Table '" + LayerDatabase() + ".Ænd' doesn't exist"));
}

TEST_F(OdbcProviderTest, AUtf8mb4SessionCarriesEveryCharacter) {
  Run("drop table if exists wide");
  Run("create table wide (name varchar(40)) default charset=utf8mb4");
  ASSERT_EQ(session_.setClientCharset("UTF8MB4"), S_OK);
  EXPECT_EQ(session_.clientCharset(), "utf8mb4");
  EXPECT_THAT(FirstColumn(session_, "select @@character_set_client"), ElementsAre("utf8mb4"));
  Run("insert into wide values ('\xCE\xA9 \xF0\x9F\x98\x80')");
  EXPECT_THAT(FirstColumn(session_, "select name from wide"),
              ElementsAre("\xCE\xA9 \xF0\x9F\x98\x80"));
  EXPECT_THAT(FirstColumn(session_, "select hex(name) from wide"), ElementsAre("CEA920F09F9880"));

  // A set the program cannot convert leaves the session as it was.
  EXPECT_TRUE(Failed(session_.setClientCharset("ucs2")));
  EXPECT_EQ(DescribeOleDbError(&session_, InterfaceId::ICommandPrepare),
            "Character set ucs2 is not supported for the connection");
  EXPECT_EQ(session_.clientCharset(), "utf8mb4");
}

TEST_F(OdbcProviderTest, TheSessionServesAnotherThreadWithItsOwnErrors) {
  std::string failure;
  std::vector<std::string> value;
  std::thread controller([&] {
    value = FirstColumn(session_, "select 40 + 2");
    failure = FirstColumn(session_, "select * from missing_on_thread").at(0);
  });
  controller.join();
  EXPECT_THAT(value, ElementsAre("42"));
  EXPECT_THAT(failure, HasSubstr("missing_on_thread' doesn't exist"));
  // The other thread's error object did not land here.
  EXPECT_EQ(DescribeOleDbError(&session_, InterfaceId::ICommandPrepare), "Unknown Error!");
}

}  // namespace
}  // namespace tablift::test
