// Every Access table the project has at hand, translated and created on the
// private MariaDB server: the real fixture files, the sample database and
// tables made for the awkward cases. After each CREATE the table gets the
// Access primary key the way the table worker adds it, which must work and
// leave exactly that key.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "access/sample_database.h"
#include "data_access/catalog_rowsets.h"
#include "mysql/sql_literals.h"
#include "tests/support/access_source.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

namespace fs = std::filesystem;
using jet::ColumnDesign;
using jet::JetType;

class TranslatedTablesTest : public test::JetSourceTest {
 protected:
  void SetUp() override {
    server_ = test::PrivateServerFromEnvironment();
    if (!server_) GTEST_SKIP() << "no private MariaDB server";
    ASSERT_TRUE(test::ConnectTarget(window_, *server_));
    scratch_ = std::make_unique<test::ScratchDatabase>(window_, "translated");
    test::ExecuteOrFail(window_, "use `" + scratch_->name() + "`");
  }
  void TearDown() override { scratch_.reset(); }

  void connectFile(const fs::path& path, const std::string& password = "") {
    window_.sourceProfile().password = password;
    connectSource(path);
  }

  std::vector<std::string> userTables() {
    std::vector<std::string> names;
    TablesRowset rowset;
    EXPECT_TRUE(Succeeded(rowset.open(*source(), "", "", "", "TABLE")));
    while (rowset.moveNext() == S_OK)
      names.push_back(rowset.row().tableName);
    return names;
  }

  // The Access primary key's columns, in key order.
  std::vector<std::string> primaryKey(const std::string& table) {
    std::vector<std::pair<std::uint32_t, std::string>> columns;
    IndexesRowset rowset;
    EXPECT_TRUE(Succeeded(rowset.open(*source(), "", "", "", "", table)));
    while (rowset.moveNext() == S_OK) {
      if (rowset.row().primaryKey) {
        columns.emplace_back(rowset.row().ordinalPosition, rowset.row().columnName);
      }
    }
    std::sort(columns.begin(), columns.end());
    std::vector<std::string> names;
    for (auto& column : columns)
      names.push_back(column.second);
    return names;
  }

  // Creates the translated table, adds its Access primary key and checks that
  // MariaDB ends with exactly that key; drops the table again unless told.
  void migrateDefinition(const std::string& table, bool keep = false) {
    SCOPED_TRACE(table);
    const std::string ddl =
        TranslateTableDdl(window_, source(), window_.migrationSettings(), "", table).value();
    test::ExecuteOrFail(window_, ddl);
    const std::vector<std::string> key = primaryKey(table);
    if (!key.empty()) {
      std::string list;
      for (const std::string& column : key)
        list += (list.empty() ? "" : ",") + QuoteIdentifier(column);
      test::ExecuteOrFail(
          window_, "alter table " + QuoteIdentifier(table) + " add PRIMARY KEY (" + list + ")");
    }
    // With the key leading with the AutoNumber column, the column's own index
    // is no longer needed.
    const std::vector<std::string> autoColumn = test::QueryColumn(
        window_,
        "select COLUMN_NAME from information_schema.STATISTICS where TABLE_SCHEMA = "
        "database() and TABLE_NAME = " +
            StringLiteral(table) + " and INDEX_NAME = 'tablift_autonumber'");
    if (!autoColumn.empty() && !key.empty() && key.front() == autoColumn.front()) {
      test::ExecuteOrFail(window_, DropAutoNumberKeyStatement(table));
    }
    const std::vector<std::string> indexes =
        test::QueryColumn(window_,
                          "select distinct INDEX_NAME from information_schema.STATISTICS where "
                          "TABLE_SCHEMA = database() and TABLE_NAME = " +
                              StringLiteral(table));
    if (!key.empty()) {
      EXPECT_TRUE(indexes == std::vector<std::string>{"PRIMARY"} ||
                  (indexes.size() == 2 && !autoColumn.empty() && key.front() != autoColumn.front()))
          << ddl;
    }
    const std::vector<std::string> serverKey = test::QueryColumn(
        window_,
        "select COLUMN_NAME from information_schema.KEY_COLUMN_USAGE where "
        "TABLE_SCHEMA = database() and TABLE_NAME = " +
            StringLiteral(table) + " and CONSTRAINT_NAME = 'PRIMARY' order by ORDINAL_POSITION");
    EXPECT_EQ(serverKey, key) << ddl;
    if (!keep) test::ExecuteOrFail(window_, "drop table " + QuoteIdentifier(table));
  }

  std::optional<test::PrivateServer> server_;
  std::unique_ptr<test::ScratchDatabase> scratch_;
};

TEST_F(TranslatedTablesTest, EveryTableOfEveryFixtureIsAccepted) {
  const auto fixtures = test::FixturesDirectory();
  if (!fixtures) GTEST_SKIP() << "no fixtures";
  int tables = 0;
  for (const auto& entry : fs::directory_iterator(*fixtures)) {
    if (entry.path().extension() != ".mdb") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const bool protectedFile = entry.path().filename() == "password-jet4.mdb";
    connectFile(entry.path(), protectedFile ? "password" : "");
    // Tables with a blank in the name are left out of whole-database runs,
    // but their definitions translate as well as any other.
    for (const std::string& table : userTables()) {
      migrateDefinition(table);
      ++tables;
    }
  }
  EXPECT_GT(tables, 20);
}

TEST_F(TranslatedTablesTest, NorthwindProductsTakesItsYesNoDefault) {
  const auto fixtures = test::FixturesDirectory();
  if (!fixtures) GTEST_SKIP() << "no fixtures";
  connectFile(*fixtures / "northwind-jet3.mdb");
  const std::string ddl =
      TranslateTableDdl(window_, source(), window_.migrationSettings(), "", "Products").value();
  EXPECT_NE(ddl.find("`Discontinued` BIT default 0 NOT NULL "), std::string::npos) << ddl;
  migrateDefinition("Products", true);
  test::ExecuteOrFail(window_, "insert into `Products` (`ProductName`) values ('Tea')");
  EXPECT_EQ(test::QueryColumn(window_, "select `Discontinued` + 0 from `Products`"),
            std::vector<std::string>{"0"});
}

TEST_F(TranslatedTablesTest, TheSampleDatabaseWithItsReservedWordAndItsLastAutoNumber) {
  const fs::path path = temp_.path() / "sample.mdb";
  SampleSummary summary;
  ASSERT_TRUE(WriteSampleDatabase(path, 10, summary).ok());
  connectFile(path);
  const std::vector<std::string> tables = userTables();
  EXPECT_EQ(tables.size(), 8u);
  for (const std::string& table : tables) {
    migrateDefinition(table, table == "Employees" || table == "Order");
  }
  // Employees ends with its AutoNumber key: it numbers new rows and is the
  // primary key.
  test::ExecuteOrFail(window_, "insert into `Employees` (`LastName`) values ('Ng'), ('Ito')");
  EXPECT_EQ(test::QueryColumn(window_, "select `EmployeeId` from `Employees` order by 1"),
            (std::vector<std::string>{"1", "2"}));
  test::ExecuteOrFail(window_, "insert into `Order` (`OrderId`) values (7)");
  EXPECT_EQ(test::QueryColumn(window_, "select count(*) from `Order`"),
            std::vector<std::string>{"1"});
}

ColumnDesign Column(std::string name, JetType type, std::uint16_t size = 0) {
  ColumnDesign column;
  column.name = std::move(name);
  column.type = type;
  column.size = size;
  return column;
}

jet::IndexDesign PrimaryKey(std::vector<std::string> columns) {
  jet::IndexDesign index;
  index.name = "PrimaryKey";
  for (auto& column : columns)
    index.columns.push_back({std::move(column), true});
  index.primaryKey = index.unique = index.required = true;
  return index;
}

TEST_F(TranslatedTablesTest, AnAutoNumberOutsideTheKeyAndValuesThatNeedTheirWholeType) {
  ColumnDesign id = Column("Id", JetType::Long);
  id.autoNumber = true;
  ColumnDesign a = Column("A", JetType::Text, 10);
  a.required = true;
  ColumnDesign b = Column("B", JetType::Integer);
  b.required = true;
  ColumnDesign memo = Column("Body", JetType::Memo);
  memo.required = true;
  ColumnDesign ole = Column("Blob", JetType::OleObject);
  ole.required = true;
  ColumnDesign big = Column("Big", JetType::Decimal);
  big.precision = 28;
  big.scale = 4;
  ColumnDesign stamp = Column("Stamp", JetType::DateTime);
  stamp.defaultValue = "=Now()";
  ColumnDesign expression = Column("Expr", JetType::Long);
  expression.defaultValue = "=DMax(\"x\",\"y\")";
  test::WriteTables(temp_.path() / "keys.mdb",
                    {{"Composite",
                      {a, id, b, memo, ole, Column("Small", JetType::Byte),
                       Column("Real", JetType::Double), big, stamp, expression},
                      std::nullopt,
                      {PrimaryKey({"A", "B"})}},
                     {"No Key", {id, Column("Note", JetType::Text, 5)}}});
  connectFile(temp_.path() / "keys.mdb");
  migrateDefinition("Composite", true);
  migrateDefinition("No Key");

  const std::string text(9000, 'x');
  test::ExecuteOrFail(window_,
                      "insert into `Composite` (`A`,`B`,`Body`,`Blob`,`Small`,`Real`,`Big`) values "
                      "('k', 1, '" +
                          text +
                          "', X'00FF00', 255, 0.1234567890123, "
                          "'123456789012345678901234.5678')");
  test::ExecuteOrFail(window_,
                      "insert into `Composite` (`A`,`B`,`Body`,`Blob`) values ('k', 2, '', '')");
  EXPECT_EQ(test::QueryColumn(window_,
                              "select concat_ws('|', `Id`, length(`Body`), hex(`Blob`), "
                              "`Small`, `Real`, `Big`, `Stamp` is not null) "
                              "from `Composite` order by `B`"),
            (std::vector<std::string>{
                "1|9000|00FF00|255|0.1234567890123|123456789012345678901234.5678|1", "2|0||1"}));
}

TEST_F(TranslatedTablesTest, AWideTableOfTextFitsTheRowInAnyCharacterSet) {
  ColumnDesign code = Column("Code", JetType::Text, 50);
  code.required = true;
  jet::TableDesign wide{"Wide", {code}, std::nullopt, {PrimaryKey({"Code"})}};
  for (int i = 1; i <= 120; ++i) {
    ColumnDesign column = Column("Text" + std::to_string(i), JetType::Text, 255);
    column.defaultValue = "\"n/a\"";
    wide.columns.push_back(column);
  }
  test::WriteTables(temp_.path() / "wide.mdb", {wide});
  connectFile(temp_.path() / "wide.mdb");
  for (const char* charset : {"utf8mb4", "LATIN1"}) {
    SCOPED_TRACE(charset);
    window_.setCharset(charset);
    migrateDefinition("Wide");
  }
}

}  // namespace
}  // namespace tablift
