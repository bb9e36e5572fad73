// Names and values that try to break out of the statements they end up in:
// every one arrives exactly, and no fragment of a name or a value is ever
// executed on the server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data_access/jet/writer/jet_database_writer.h"
#include "engine/list_catalog.h"
#include "engine/use_database.h"
#include "migration/table_verification.h"
#include "tests/migration/migration_fixture.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

// Table names Access allows: no blank (whole-database runs leave those out),
// none of . ! ` [ ].
const std::vector<std::string> kHostileTables = {"O'Brien;drop_table_sentinel;--",
                                                 "100%\"quoted\"%s",
                                                 "Gr\xC3\xB6\xC3\x9F"
                                                 "e_\xE6\x97\xA5\xE6\x9C\xAC",
                                                 "Select", "x');drop_table_sentinel;#"};

const std::vector<jet::ColumnDesign> kHostileColumns = {
    {.name = "Id", .type = jet::JetType::Long},
    {.name = "a'b", .type = jet::JetType::Text, .size = 255},
    {.name = "c\"d;e", .type = jet::JetType::Memo},
    {.name = "%s%n\xC3\xBC", .type = jet::JetType::Text, .size = 50},
    {.name = "Group", .type = jet::JetType::Long},
};

std::vector<std::vector<jet::Value>> HostileRows() {
  const std::string fragment = "'); drop table sentinel; -- \" ` \\' \\\\";
  std::string megabyte;
  while (megabyte.size() < (1u << 20))
    megabyte += "Line with 'quotes', \\back\\slashes\\ and \r\n";
  return {
      {std::int64_t{1}, fragment, std::string("\\\\server\\share\\ %s %n %%"), std::string("'"),
       std::int64_t{1}},
      {std::int64_t{2}, std::string("\r\n\t trailing blanks   "), megabyte, std::string("\\"),
       jet::Null{}},
      {std::int64_t{3},
       std::string("with\x01"
                   "control\x1F"
                   "bytes"),
       std::string("NUL inside: a\0b", 15), jet::Null{}, std::int64_t{-3}},
      {std::int64_t{4}, std::string("\xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9"),
       std::string(""), std::string(""), std::int64_t{0}},
  };
}

class HostileInputTest : public MigrationTest {
 protected:
  std::filesystem::path writeHostileDatabase() {
    const std::filesystem::path path = temp_.path() / (UniqueName("hostile") + ".mdb");
    jet::JetDatabaseWriter writer;
    EXPECT_TRUE(writer.create(path).ok());
    for (const std::string& name : kHostileTables) {
      jet::TableDesign design{name, kHostileColumns};
      design.indexes.push_back({.name = "PrimaryKey",
                                .columns = {{"Id"}},
                                .primaryKey = true,
                                .unique = true,
                                .required = true});
      const jet::WriteStatus added = writer.addTable(design);
      EXPECT_TRUE(added.ok()) << name << ": " << added.message();
      for (const auto& row : HostileRows()) {
        const jet::WriteStatus written = writer.appendRow(name, row);
        EXPECT_TRUE(written.ok()) << name << ": " << written.message();
      }
    }
    EXPECT_TRUE(writer.finish().ok());
    return path;
  }
};

TEST_F(HostileInputTest, NamesAndValuesArriveExactlyAndNothingOfThemRuns) {
  connect(writeHostileDatabase(), "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string database = createTargetDatabase("hostile");
  // What a fragment would hit if it ever ran.
  ExecuteOrFail(window_, "create table `" + database + "`.sentinel (id int)");
  ExecuteOrFail(window_, "create table `" + database + "`.drop_table_sentinel (id int)");

  const TaskPtr task = migrate("", "", database);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->stateText(), kStateSuccess);
  EXPECT_THAT(linesWith("ERROR !"), IsEmpty());
  EXPECT_THAT(linesWith("records were not accepted"), IsEmpty());

  std::vector<std::string> expected = kHostileTables;
  expected.push_back("sentinel");
  expected.push_back("drop_table_sentinel");
  EXPECT_THAT(targetTables(database), UnorderedElementsAreArray(expected));
  EXPECT_THAT(query("select column_name from information_schema.columns where table_schema = '" +
                    database + "' and table_name = 'Select' order by ordinal_position"),
              ElementsAre("Id", "a'b", "c\"d;e", "%s%n\xC3\xBC", "Group"));

  ASSERT_TRUE(UseDatabase(window_, database, Workbench::kTargetSide));
  for (const std::string& table : kHostileTables) {
    const TableVerification verified = VerifyTable(
        window_, window_.sourceSession(), window_.targetSession(), sourceDatabase(), table);
    EXPECT_TRUE(verified.matches())
        << table << ": " << verified.error << " source " << verified.sourceRows << " target "
        << verified.targetRows << " differing " << verified.differingRows;
  }
  EXPECT_THAT(query("select length(`c\"d;e`) from `" + database + "`.`Select` where Id = 2"),
              ElementsAre(std::to_string(HostileRows()[1][2].index() == 7
                                             ? std::get<std::string>(HostileRows()[1][2]).size()
                                             : 0)));
  EXPECT_THAT(query("select hex(`c\"d;e`) from `" + database + "`.`Select` where Id = 3"),
              ElementsAre("4E554C20696E736964653A20610062"));
}

}  // namespace
}  // namespace tablift::test
