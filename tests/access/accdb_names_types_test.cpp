// What the layers above the provider make of Access 2007 and later files:
// their names, the column types ACE added and the 100 ns digit MySQL cannot
// keep.
#include <gtest/gtest.h>

#include <fstream>

#include "access/access_file_names.h"
#include "access/new_database_path.h"
#include "access/source_init_properties.h"
#include "data_access/db_types.h"
#include "tests/support/test_paths.h"
#include "translate/extended_date_time.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

TEST(AccdbNamesTest, DatabaseNameDropsEitherEndingAndTheFileIsFoundAgain) {
  EXPECT_EQ(AccessDatabaseName("/data/shop.accdb"), "/data/shop");
  EXPECT_EQ(AccessDatabaseName("/data/shop.mdb"), "/data/shop");
  EXPECT_EQ(AccessDatabaseName("/data/shop.accdb.bak"), "/data/shop.accdb.bak");

  test::ScopedTempDir folder;
  const std::string onlyAccdb = (folder.path() / "new").string();
  std::ofstream(onlyAccdb + ".accdb") << "x";
  EXPECT_EQ(AccessFileOf(onlyAccdb), onlyAccdb + ".accdb");
  // With both files, and with none, the name keeps meaning the .mdb file as
  // it always did.
  const std::string both = (folder.path() / "both").string();
  std::ofstream(both + ".accdb") << "x";
  std::ofstream(both + ".mdb") << "x";
  EXPECT_EQ(AccessFileOf(both), both + ".mdb");
  EXPECT_EQ(AccessFileOf((folder.path() / "none").string()),
            (folder.path() / "none").string() + ".mdb");
  // A name with its ending is the file, whatever the case.
  EXPECT_EQ(AccessFileOf("/d/X.ACCDB"), "/d/X.ACCDB");
  EXPECT_EQ(AccessFileOf("/d/x.Mdb"), "/d/x.Mdb");
  // A new database named .accdb keeps its name.
  EXPECT_EQ(NewAccessDatabasePath("/d/", "x.accdb"), "/d/x.accdb");
}

ColumnRow Column(std::uint16_t type, std::uint32_t precision = 0) {
  ColumnRow column;
  column.columnName = "c";
  column.dataType = type;
  column.columnFlags = 0x7A;  // fixed length, nullable, as the provider reports numbers
  column.isNullable = true;
  column.datetimePrecision = precision;
  return column;
}

TEST(AccdbTypesTest, LargeNumberAndDateTimeExtendedKeepTheirRange) {
  EXPECT_EQ(MySqlColumnType(Column(DBTYPE_I8), true), "BIGINT");
  EXPECT_EQ(MySqlColumnType(Column(DBTYPE_DBTIMESTAMP, 7), true), "DATETIME(6)");
  // A Large Number default beyond 32 bits is kept, one beyond 64 left out.
  const DefaultTarget bigint = DefaultTargetOf(Column(DBTYPE_I8), true, 10.11);
  EXPECT_EQ(TranslateDefaultValue("5000000000", bigint).value, "5000000000");
  EXPECT_TRUE(TranslateDefaultValue("99999999999999999999", bigint).dropped);
}

TEST(AccdbTypesTest, OnlyASeventhDigitThatIsNotZeroIsReportedLost) {
  std::string exact = "2024-02-29 23:59:59.1234560";
  EXPECT_FALSE(CutToMicroseconds(exact));
  EXPECT_EQ(exact, "2024-02-29 23:59:59.123456");
  std::string lost = "0001-01-01 00:00:00.0000001";
  EXPECT_TRUE(CutToMicroseconds(lost));
  EXPECT_EQ(lost, "0001-01-01 00:00:00.000000");
  // Values MySQL keeps whole stay as they are.
  for (std::string kept : {"9999-12-31 23:59:59", "2020-01-01 10:00:00.5", ""}) {
    const std::string before = kept;
    EXPECT_FALSE(CutToMicroseconds(kept));
    EXPECT_EQ(kept, before);
  }
}

}  // namespace
}  // namespace tablift
