// CREATE TABLE generation in the Jet type vocabulary: the type rules with
// their chains of fall-throughs, and whole statements read from the column
// catalog of databases the Jet writer makes.

#include <gtest/gtest.h>

#include "access/table_columns.h"
#include "tests/support/access_source.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

using jet::ColumnDesign;
using jet::JetType;

TEST(JetTypeTextTest, EachFlagValueNamesItsTypesAndHandsTheRestOn) {
  // 234 (long, nullable)
  EXPECT_EQ(JetTypeText(234, DBTYPE_BYTES, 0), "LONGBINARY");
  EXPECT_EQ(JetTypeText(234, DBTYPE_WSTR, 0), "LONGTEXT");
  EXPECT_EQ(JetTypeText(234, DBTYPE_I4, 0), "LONG");   // on to 90
  EXPECT_EQ(JetTypeText(234, DBTYPE_BOOL, 0), "BIT");  // on through 90 to 24
  // 90 / 122 (fixed)
  EXPECT_EQ(JetTypeText(90, DBTYPE_I2, 0), "SHORT");
  EXPECT_EQ(JetTypeText(122, DBTYPE_I4, 0), "LONG");
  EXPECT_EQ(JetTypeText(122, DBTYPE_R4, 0), "SINGLE");
  EXPECT_EQ(JetTypeText(122, DBTYPE_R8, 0), "NUMERIC");
  EXPECT_EQ(JetTypeText(122, DBTYPE_CY, 0), "CURRENCY");
  EXPECT_EQ(JetTypeText(122, DBTYPE_NUMERIC, 0), "CURRENCY");
  EXPECT_EQ(JetTypeText(122, DBTYPE_DATE, 0), "DATETIME");
  EXPECT_EQ(JetTypeText(122, DBTYPE_UI1, 0), "BYTE");
  EXPECT_EQ(JetTypeText(122, DBTYPE_GUID, 0), "GUID");
  EXPECT_EQ(JetTypeText(90, DBTYPE_BOOL, 0), "BIT");
  EXPECT_EQ(JetTypeText(90, DBTYPE_WSTR, 20), "TEXT");  // through 24 to 106
  // 24 (AutoNumber)
  EXPECT_EQ(JetTypeText(24, DBTYPE_I4, 0), "COUNTER");
  EXPECT_EQ(JetTypeText(24, DBTYPE_I2, 0), "USERDEFINE");  // 106, 202, 74 name no integer
  // 106 (variable, nullable)
  EXPECT_EQ(JetTypeText(106, DBTYPE_BYTES, 16), "BINARY");
  EXPECT_EQ(JetTypeText(106, DBTYPE_WSTR, 50), "TEXT");
  EXPECT_EQ(JetTypeText(106, DBTYPE_I4, 0), "USERDEFINE");
  // 202 (long, required): lengthed names carry their own blank
  EXPECT_EQ(JetTypeText(202, DBTYPE_BYTES, 0), "VARBINARY(512) ");
  EXPECT_EQ(JetTypeText(202, DBTYPE_WSTR, 0), "VARCHAR(512) ");
  // 74 (variable, required)
  EXPECT_EQ(JetTypeText(74, DBTYPE_BYTES, 10), "CHAR(10) ");
  EXPECT_EQ(JetTypeText(74, DBTYPE_WSTR, 40), "VARCHAR(40) ");
  EXPECT_EQ(JetTypeText(74, DBTYPE_I4, 0), "USERDEFINE");
  // Any other value
  EXPECT_EQ(JetTypeText(0, DBTYPE_WSTR, 10), "USERDEFINE");
  EXPECT_EQ(JetTypeText(91, DBTYPE_I4, 0), "USERDEFINE");
}

TEST(OdbcTypeTextTest, EachFlagValueNamesItsTypesAndHandsTheRestOn) {
  EXPECT_EQ(OdbcTypeText(232, DBTYPE_BYTES, 0), "LONGBINARY");
  EXPECT_EQ(OdbcTypeText(232, DBTYPE_WSTR, 0), "LONGTEXT");
  EXPECT_EQ(OdbcTypeText(232, DBTYPE_R8, 0), "NUMERIC");
  EXPECT_EQ(OdbcTypeText(120, DBTYPE_BYTES, 0), "BINARY");
  EXPECT_EQ(OdbcTypeText(120, DBTYPE_WSTR, 30), "CHAR(30)");  // through 24 to 104
  EXPECT_EQ(OdbcTypeText(120, DBTYPE_I1, 0), "BYTE");
  EXPECT_EQ(OdbcTypeText(120, DBTYPE_DBTIMESTAMP, 0), "DATETIME");
  EXPECT_EQ(OdbcTypeText(120, DBTYPE_DATE, 0), "USERDEFINE");
  EXPECT_EQ(OdbcTypeText(120, DBTYPE_BOOL, 0), "BIT");
  EXPECT_EQ(OdbcTypeText(24, DBTYPE_I4, 0), "COUNTER");
  EXPECT_EQ(OdbcTypeText(104, DBTYPE_BYTES, 0), "VARBINARY(512)");
  EXPECT_EQ(OdbcTypeText(104, DBTYPE_WSTR, 0), "CHAR(512)");
  EXPECT_EQ(OdbcTypeText(104, DBTYPE_I4, 0), "USERDEFINE");
  EXPECT_EQ(OdbcTypeText(234, DBTYPE_WSTR, 0), "USERDEFINE");
}

ColumnDesign Column(std::string name, JetType type, std::uint16_t size = 0) {
  ColumnDesign column;
  column.name = std::move(name);
  column.type = type;
  column.size = size;
  return column;
}

class CreateTableTest : public test::JetSourceTest {
 protected:
  void SetUp() override {
    ColumnDesign id = Column("ID", JetType::Long);
    id.autoNumber = true;
    ColumnDesign note = Column("Note", JetType::Text, 50);
    ColumnDesign qty = Column("Qty", JetType::Integer);
    qty.required = true;
    qty.defaultValue = "=1";
    ColumnDesign done = Column("Done", JetType::Boolean);
    done.defaultValue = "=No";
    test::WriteTables(path(), {{"Orders", {id, note}},
                               {"Lines", {qty, done, Column("Text", JetType::Memo)}},
                               {"Single", {Column("Only", JetType::Double)}}});
    connectSource(path());
  }
  std::filesystem::path path() const { return temp_.path() / "shop.mdb"; }
};

TEST_F(CreateTableTest, ColumnsComeInOrdinalOrderWhateverTheCatalogOrder) {
  std::vector<ColumnRow> columns;
  ASSERT_TRUE(ReadTableColumns(*source(), "Lines", columns));
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0].columnName, "Qty");
  EXPECT_EQ(columns[2].columnName, "Text");
}

}  // namespace
}  // namespace tablift
