// Tables Access's designer changed, and a table the source cannot describe:
// tables with deleted columns arrive with every column and row; a table whose
// definition is damaged is named in an error line with the reason, no CREATE
// TABLE is sent for it, and the tables after it still migrate.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "data_access/jet/writer/jet_database_writer.h"
#include "engine/use_database.h"
#include "migration/table_verification.h"
#include "tests/migration/migration_fixture.h"
#include "tests/support/deleted_column_tables.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::UnorderedElementsAre;

class AlteredTablesTest : public MigrationTest {
 protected:
  std::vector<std::string> targetColumns(const std::string& database, const std::string& table) {
    return query("select column_name from information_schema.columns where table_schema = '" +
                 database + "' and table_name = '" + table + "' order by ordinal_position");
  }
};

TEST_F(AlteredTablesTest, TablesWithDeletedColumnsArriveWithTheirColumnsAndRows) {
  const std::filesystem::path mdb = temp_.path() / (UniqueName("deleted") + ".mdb");
  ASSERT_TRUE(WriteDeletedColumnTables(mdb));
  connect(mdb, "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string database = createTargetDatabase("deleted");

  const TaskPtr task = migrate("", "", database);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->stateText(), kStateSuccess);
  EXPECT_THAT(linesWith("cannot be created"), IsEmpty());
  EXPECT_THAT(targetColumns(database, "Pairs"), ElementsAre("Code", "Label"));
  EXPECT_THAT(targetColumns(database, "Contacts"),
              ElementsAre("Name", "Street", "Town", "Postcode", "Country", "Phone", "Fax", "Email",
                          "Remark"));
  EXPECT_THAT(query("select concat_ws('|', Id, Amount, Settled + 0, Note) from `" + database +
                    "`.Ledger order by Id"),
              ElementsAre("1|12.5|1|Rent", "2|0", "3|-0.25|1|Fee"));

  ASSERT_TRUE(UseDatabase(window_, database, Workbench::kTargetSide));
  for (const DeletedColumnTable& table : DeletedColumnTables()) {
    const TableVerification verified =
        VerifyTable(window_, window_.sourceSession(), window_.targetSession(), sourceDatabase(),
                    table.design.name);
    EXPECT_TRUE(verified.matches())
        << table.design.name << ": " << verified.error << " source " << verified.sourceRows
        << " target " << verified.targetRows << " differing " << verified.differingRows;
    EXPECT_EQ(verified.targetRows, table.rows.size()) << table.design.name;
  }
}

// Damages the column count of the table definition that holds the column
// name `marker`: none of the columns can then be read.
void DamageDefinitionHolding(const std::filesystem::path& path, const std::u16string& marker) {
  std::vector<char> bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string encoded;
  for (const char16_t unit : marker) {
    encoded += static_cast<char>(unit & 0xFF);
    encoded += static_cast<char>(unit >> 8);
  }
  const auto found = std::search(bytes.begin(), bytes.end(), encoded.begin(), encoded.end());
  ASSERT_NE(found, bytes.end());
  const std::size_t page = static_cast<std::size_t>(found - bytes.begin()) / 4096;
  ASSERT_EQ(bytes[page * 4096], 0x02) << "not a table definition page";
  bytes[page * 4096 + 45] = 0;  // the column count
  bytes[page * 4096 + 46] = 0;
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST_F(AlteredTablesTest, ATableWhoseColumnsCannotBeReadIsNamedAndTheNextTableMigrates) {
  const std::filesystem::path mdb = temp_.path() / (UniqueName("damaged") + ".mdb");
  jet::JetDatabaseWriter writer;
  ASSERT_TRUE(writer.create(mdb).ok());
  for (const std::string name : {"Broken", "Whole"}) {
    ASSERT_TRUE(writer
                    .addTable({name,
                               {{.name = "Id", .type = jet::JetType::Long},
                                {.name = name + "Marker", .type = jet::JetType::Text, .size = 20}}})
                    .ok());
    ASSERT_TRUE(writer.appendRow(name, {std::int64_t{1}, std::string("one")}).ok());
  }
  ASSERT_TRUE(writer.finish().ok());
  DamageDefinitionHolding(mdb, u"BrokenMarker");
  connect(mdb, "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string database = createTargetDatabase("damaged");

  const TaskPtr task = migrate("", "", database);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->stateText(), kStateFailure);
  const std::vector<std::string> named = linesWith("[Broken] cannot be created");
  ASSERT_THAT(named, SizeIs(1));
  EXPECT_THAT(named[0], HasSubstr("table 'Broken': the table definition holds impossible counts"));
  const std::vector<LogLine> lines = window_.output().lines();
  const auto error = std::find_if(lines.begin(), lines.end(), [](const LogLine& line) {
    return line.text.find("[Broken] cannot be created") != std::string::npos;
  });
  ASSERT_NE(error, lines.end());
  EXPECT_EQ(error->textColour, kErrorRed);
  // Nothing was sent for it, so the server refused nothing.
  EXPECT_THAT(linesWith("Create [" + sourceDatabase() + "].[Broken] ERROR"), IsEmpty());
  EXPECT_THAT(targetTables(database), UnorderedElementsAre("Whole"));
  EXPECT_THAT(query("select count(*) from `" + database + "`.Whole"), ElementsAre("1"));
}

}  // namespace
}  // namespace tablift::test
