// Translation of Access table definitions into MySQL CREATE TABLE statements:
// the ordered rewrite table on its own, then the whole statement with the
// mends that keep every value and every name whole.

#include <gtest/gtest.h>

#include "tests/support/access_source.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

using jet::ColumnDesign;
using jet::JetType;

TEST(MySqlTypeOfJetWordTest, EachJetWordHasItsTypeAndOtherWordsStandForThemselves) {
  const std::pair<const char*, const char*> words[] = {
      {"LONGBINARY", "LONGBLOB"},
      {"BINARY", "VARBINARY(510)"},
      {"VARBINARY", "VARBINARY(510)"},
      {"CURRENCY", "DECIMAL(19,4)"},
      {"GUID", "char(48)"},
      {"NUMERIC", "FLOAT"},
      {"SINGLE", "REAL"},
      {"BYTE", "TINYINT"},
      {"SHORT", "SMALLINT"},
      {"LONG", "INTEGER"},
      {"VARCHAR(40)", "VARCHAR(40)"},
      {"DATETIME", "DATETIME"},
      {"LONGTEXT", "LONGTEXT"},
      {"long", "long"},
  };
  for (const auto& [jet, mysql] : words)
    EXPECT_EQ(MySqlTypeOfJetWord(jet), mysql) << jet;
}

TEST(EngineAndCharsetClauseTest, AsTheTargetTreeAndServerSay) {
  EXPECT_EQ(EngineClause("MyISAM"), " ENGINE=MyISAM ");
  EXPECT_EQ(EngineClause("xMyISAMx"), " ENGINE=MyISAM ");
  EXPECT_EQ(EngineClause("myisam"), " ENGINE=InnoDB ");
  EXPECT_EQ(EngineClause(""), " ENGINE=InnoDB ");
  EXPECT_EQ(CharsetClause(4.0, "LATIN1"), "\n");
  EXPECT_EQ(CharsetClause(4.1, "LATIN1"), " DEFAULT CHARSET=LATIN1\n");
  EXPECT_EQ(CharsetClause(10.11, "utf8mb4"), " DEFAULT CHARSET=utf8mb4\n");
}

ColumnRow Row(std::uint32_t flags, std::uint16_t type, std::uint32_t length = 0) {
  ColumnRow row;
  row.columnFlags = flags;
  row.dataType = type;
  row.characterMaximumLength = length;
  return row;
}

TEST(MySqlColumnTypeTest, EveryAccessTypeKeepsItsValues) {
  EXPECT_EQ(MySqlColumnType(Row(90, DBTYPE_BOOL), true), "BIT");
  EXPECT_EQ(MySqlColumnType(Row(122, DBTYPE_UI1), true), "TINYINT UNSIGNED");
  EXPECT_EQ(MySqlColumnType(Row(122, DBTYPE_I2), true), "SMALLINT");
  EXPECT_EQ(MySqlColumnType(Row(122, DBTYPE_I4), true), "INTEGER");
  EXPECT_EQ(MySqlColumnType(Row(24, DBTYPE_I4), true), "INT AUTO_INCREMENT");
  EXPECT_EQ(MySqlColumnType(Row(122, DBTYPE_R4), true), "REAL");
  EXPECT_EQ(MySqlColumnType(Row(122, DBTYPE_R8), true), "DOUBLE");
  EXPECT_EQ(MySqlColumnType(Row(122, DBTYPE_CY), true), "DECIMAL(19,4)");
  EXPECT_EQ(MySqlColumnType(Row(122, DBTYPE_DATE), true), "DATETIME");
  EXPECT_EQ(MySqlColumnType(Row(122, DBTYPE_GUID), true), "char(48)");
  ColumnRow decimal = Row(122, DBTYPE_NUMERIC);
  decimal.numericPrecision = 28;
  decimal.numericScale = 10;
  EXPECT_EQ(MySqlColumnType(decimal, true), "DECIMAL(28,10)");
  EXPECT_EQ(MySqlColumnType(Row(74, DBTYPE_WSTR, 40), true), "VARCHAR(40)");
  EXPECT_EQ(MySqlColumnType(Row(106, DBTYPE_WSTR, 40), true), "VARCHAR(40)");
  EXPECT_EQ(MySqlColumnType(Row(202, DBTYPE_WSTR), true), "LONGTEXT");
  EXPECT_EQ(MySqlColumnType(Row(234, DBTYPE_WSTR), true), "LONGTEXT");
  EXPECT_EQ(MySqlColumnType(Row(74, DBTYPE_BYTES, 16), true), "VARBINARY(510)");
  EXPECT_EQ(MySqlColumnType(Row(106, DBTYPE_BYTES, 16), true), "VARBINARY(510)");
  EXPECT_EQ(MySqlColumnType(Row(202, DBTYPE_BYTES), true), "LONGBLOB");
  EXPECT_EQ(MySqlColumnType(Row(234, DBTYPE_BYTES), true), "LONGBLOB");
  EXPECT_EQ(MySqlColumnType(Row(7, DBTYPE_I4), true), "USERDEFINE");
  // The ODBC rules' words go through the same rewrite.
  EXPECT_EQ(MySqlColumnType(Row(120, DBTYPE_I1), false), "TINYINT");
  EXPECT_EQ(MySqlColumnType(Row(120, DBTYPE_DBTIMESTAMP), false), "DATETIME");
  EXPECT_EQ(MySqlColumnType(Row(24, DBTYPE_I4), false), "INT AUTO_INCREMENT");
}

ColumnDesign Column(std::string name, JetType type, std::uint16_t size = 0) {
  ColumnDesign column;
  column.name = std::move(name);
  column.type = type;
  column.size = size;
  return column;
}

ColumnDesign WithDefault(ColumnDesign column, std::string value) {
  column.defaultValue = std::move(value);
  return column;
}

class TranslateTableDdlTest : public test::JetSourceTest {
 protected:
  void SetUp() override {
    ColumnDesign id = Column("ID", JetType::Long);
    id.autoNumber = true;
    ColumnDesign memo = Column("Memo", JetType::Memo);
    memo.required = true;
    test::WriteTables(
        path(),
        {{"Orders", {id, Column("Note", JetType::Text, 50)}},
         {"Group",
          {Column("Größe", JetType::Text, 10), Column("Some LONG name", JetType::Long), id}},
         {"Defaults",
          {WithDefault(Column("Flag", JetType::Boolean), "=No"),
           WithDefault(Column("Stamp", JetType::DateTime), "=Now()"),
           WithDefault(Column("Label", JetType::Text, 5), "\"it's\""),
           WithDefault(Column("Long", JetType::Text, 5), "\"too long\""),
           WithDefault(Column("Count", JetType::Long), "=Nz([x],0)"),
           WithDefault(Column("Word", JetType::Text, 20), "\" LONG \""), memo}}});
    connectSource(path());
    window_.targetConnection().setDbmsName("MySQL[5.0.51a]");
  }
  std::filesystem::path path() const { return temp_.path() / "shop.mdb"; }
};

TEST_F(TranslateTableDdlTest, TheOrdersTableKeepsItsKeyForTheKeyStepAndItsTextLength) {
  EXPECT_EQ(
      TranslateTableDdl(window_, source(), window_.migrationSettings(), "shop", "Orders").value(),
      "CREATE TABLE `Orders`(\n`ID` INT AUTO_INCREMENT NOT NULL ,\n`Note` VARCHAR(50) NULL ,\n"
      "KEY `tablift_autonumber` (`ID`)) ENGINE=MyISAM  DEFAULT CHARSET=LATIN1\n");
}

TEST_F(TranslateTableDdlTest, NamesAreQuotedAndNeverRewritten) {
  window_.targetTree().setStorageEngine("InnoDB");
  window_.targetConnection().setDbmsName("MySQL[4.0.27]");
  EXPECT_EQ(
      TranslateTableDdl(window_, source(), window_.migrationSettings(), "shop", "Group").value(),
      "CREATE TABLE `Group`(\n`Größe` VARCHAR(10) NULL ,\n`Some LONG name` INTEGER NULL ,\n"
      "`ID` INT AUTO_INCREMENT NOT NULL ,\nKEY `tablift_autonumber` (`ID`)) ENGINE=InnoDB \n");
}

TEST_F(TranslateTableDdlTest, DefaultsAreTranslatedOrLeftOutWithALine) {
  EXPECT_EQ(
      TranslateTableDdl(window_, source(), window_.migrationSettings(), "shop", "Defaults").value(),
      "CREATE TABLE `Defaults`(\n`Flag` BIT default 0 NOT NULL ,\n"
      "`Stamp` DATETIME NULL ,\n`Label` VARCHAR(5) default 'it\\'s' NULL ,\n"
      "`Long` VARCHAR(5) NULL ,\n`Count` INTEGER NULL ,\n"
      "`Word` VARCHAR(20) default ' LONG ' NULL ,\n`Memo` LONGTEXT NOT NULL ) ENGINE=MyISAM "
      " DEFAULT CHARSET=LATIN1\n");
  // MySQL 5.0 takes no CURRENT_TIMESTAMP for DATETIME; the others are no
  // values MySQL can take at all.
  const auto lines = logTexts();
  for (const char* expected :
       {"Default value [=Now()] of column [Defaults].[Stamp] left out: MySQL cannot take it",
        "Default value [\"too long\"] of column [Defaults].[Long] left out: MySQL cannot take it",
        "Default value [=Nz([x],0)] of column [Defaults].[Count] left out: MySQL cannot take it"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
  }
  window_.targetConnection().setDbmsName("MariaDB[10.11.6-MariaDB]");
  EXPECT_NE(TranslateTableDdl(window_, source(), window_.migrationSettings(), "shop", "Defaults")
                .value()
                .find("`Stamp` DATETIME default CURRENT_TIMESTAMP NULL ,"),
            std::string::npos);
}

TEST_F(TranslateTableDdlTest, WithoutASessionOrCatalog) {
  EXPECT_EQ(
      TranslateTableDdl(window_, nullptr, window_.migrationSettings(), "shop", "Orders").message(),
      "No Connection!");
  EXPECT_EQ(logTexts().back(), "No Connection!");
  // A table that lists no column gives no statement, only the reason.
  EXPECT_EQ(TranslateTableDdl(window_, source(), window_.migrationSettings(), "shop", "Nowhere")
                .message(),
            "its columns cannot be read: the source lists no column of it");
  EXPECT_EQ(logTexts().back(),
            "TABLE: [shop].[Nowhere] cannot be created, its columns cannot be read: the source "
            "lists no column of it");
}

}  // namespace
}  // namespace tablift
