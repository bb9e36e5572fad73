// Migration conditions from the command line: "tablift-cli condition" tests a
// condition in Access syntax with the count mdbtools' export and a filter
// give, saves it where the desktop program keeps conditions, and the next
// migration, from the command line or the engine, copies exactly those rows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "engine/migration_condition.h"
#include "tests/migration/migration_fixture.h"
#include "tests/support/mdb_export_table.h"
#include "tests/support/run_program.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kFrance1996 = "OrderDate >= #1/1/1996# And ShipCountry = \"France\"";

class ConditionCommandTest : public MigrationTest {
 protected:
  void SetUp() override {
    MigrationTest::SetUp();
    if (HasFatalFailure()) return;
    const std::optional<fs::path> fixtures = FixturesDirectory();
    if (!fixtures) GTEST_SKIP() << "no Access fixtures";
    mdb_ = copyAccessFile(*fixtures / "northwind-jet3.mdb", "cond");
  }

  ProgramRun condition(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {TABLIFT_CLI_PROGRAM, "condition"});
    return RunProgram(arguments, temp_.path());
  }

  std::vector<std::string> serverOptions() const {
    return {"--server",   server_->host + ":" + std::to_string(server_->port),
            "--user",     server_->user,
            "--password", server_->password};
  }

  // The OrderIDs mdb-export gives for the orders to France from 1996 on.
  std::optional<std::vector<std::string>> exportedFrance1996() const {
    const std::optional<ExportedTable> exported = MdbExport(mdb_.string(), "Orders");
    if (!exported) return std::nullopt;
    const auto column = [&](const char* name) {
      return static_cast<std::size_t>(
          std::find(exported->header.begin(), exported->header.end(), name) -
          exported->header.begin());
    };
    std::vector<std::string> ids;
    for (const auto& row : exported->rows) {
      const ExportedCell& date = row.at(column("OrderDate"));
      if (date && *date >= "1996-01-01" && row.at(column("ShipCountry")) == "France")
        ids.push_back(*row.at(column("OrderID")));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
  }

  std::vector<std::string> orderIds(const std::string& database) {
    return QueryColumn(window_, "select OrderID from `" + database + "`.`Orders` order by 1");
  }

  fs::path mdb_;
};

TEST_F(ConditionCommandTest, ASavedConditionNarrowsTheNextMigrationToTheCountedRows) {
  const std::optional<std::vector<std::string>> expected = exportedFrance1996();
  if (!expected) GTEST_SKIP() << "mdb-export is not available";
  ASSERT_FALSE(expected->empty());
  const std::string count = std::to_string(expected->size());

  const ProgramRun saved = condition({mdb_.string(), "Orders", kFrance1996});
  ASSERT_EQ(saved.exitCode, 0) << saved.output;
  EXPECT_THAT(saved.output,
              HasSubstr("Test successfully!\n  " + count + " Records can be converted.\n"));
  const fs::path conditionFile = home_.path() / "Condition.cfg";
  EXPECT_THAT(saved.output, HasSubstr("Saved in " + conditionFile.string()));

  // The engine the desktop program runs on reads the same file.
  connect(mdb_);
  if (HasFatalFailure()) return;
  EXPECT_EQ(window_.conditionFile(), conditionFile);
  EXPECT_EQ(LoadCondition(window_, sourceDatabase(), "Orders"), kFrance1996);

  // Shown and tested again; the table's name may differ in case.
  const ProgramRun shown = condition({mdb_.string(), "orders"});
  EXPECT_EQ(shown.exitCode, 0) << shown.output;
  EXPECT_THAT(shown.output, HasSubstr(std::string("Condition : ") + kFrance1996 + "\n"));
  EXPECT_THAT(shown.output, HasSubstr("  " + count + " Records can be converted."));

  // A condition that fails its test is not saved.
  const ProgramRun refused = condition({mdb_.string(), "Orders", "NoSuchColumn = 1"});
  EXPECT_EQ(refused.exitCode, 1) << refused.output;
  EXPECT_THAT(refused.output, HasSubstr("Test failed!\n  Because:  "));
  EXPECT_THAT(refused.output, HasSubstr("The condition was not saved."));
  EXPECT_EQ(LoadCondition(window_, sourceDatabase(), "Orders"), kFrance1996);

  // The command line's migration copies exactly the counted rows, and the
  // comparison with Access honours the condition.
  const std::string database = createTargetDatabase("cond_cli");
  std::vector<std::string> migrateCommand = {TABLIFT_CLI_PROGRAM, "migrate", mdb_.string()};
  for (const std::string& option : serverOptions())
    migrateCommand.push_back(option);
  std::vector<std::string> verify = migrateCommand;
  verify[1] = "verify";
  migrateCommand.insert(migrateCommand.end(), {"--database", database, "--table", "Orders"});
  const ProgramRun migrated = RunProgram(migrateCommand, temp_.path());
  EXPECT_EQ(migrated.exitCode, 0) << migrated.output;
  EXPECT_THAT(migrated.output, HasSubstr("[Orders] " + count + " records converted"));
  // The log says how many of the table's rows the condition keeps.
  EXPECT_THAT(migrated.output, HasSubstr("Condition on [Orders]: " + count +
                                         " of 830 records, where " + kFrance1996));
  EXPECT_EQ(orderIds(database), *expected);
  verify.insert(verify.end(), {"--database", database});
  const ProgramRun verified = RunProgram(verify, temp_.path());
  EXPECT_THAT(verified.output, HasSubstr("[Orders] " + count + " rows: identical"));

  // So does a migration of the engine, as the desktop program queues it.
  const std::string engineDatabase = createTargetDatabase("cond_engine");
  const TaskPtr task = migrate("Tables", "Orders", engineDatabase);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->stateText(), kStateSuccess);
  EXPECT_EQ(orderIds(engineDatabase), *expected);
  // The window's log names the condition with the rows it keeps.
  bool named = false;
  for (const LogLine& line : window_.output().lines())
    named = named || line.text.find("Condition on [Orders]: " + count + " of 830 records, where " +
                                    kFrance1996) != std::string::npos;
  EXPECT_TRUE(named);

  // An empty condition copies the whole table again.
  const ProgramRun cleared = condition({mdb_.string(), "Orders", ""});
  EXPECT_EQ(cleared.exitCode, 0) << cleared.output;
  EXPECT_THAT(cleared.output, HasSubstr("Saved in " + conditionFile.string() + ": Convert All"));
  EXPECT_EQ(LoadCondition(window_, sourceDatabase(), "Orders"), "");
}

TEST_F(ConditionCommandTest, SaysWhatItCannotDo) {
  const ProgramRun bare = condition({mdb_.string()});
  EXPECT_EQ(bare.exitCode, 2) << bare.output;
  EXPECT_THAT(bare.output, HasSubstr("Usage: tablift-cli condition"));
  const ProgramRun split = condition({mdb_.string(), "Orders", "ShipCountry", "=", "'France'"});
  EXPECT_EQ(split.exitCode, 2) << split.output;
  EXPECT_THAT(split.output, HasSubstr("give the condition as one argument"));

  const ProgramRun noTable = condition({mdb_.string(), "Ordres", "OrderID > 1"});
  EXPECT_EQ(noTable.exitCode, 1) << noTable.output;
  EXPECT_THAT(noTable.output, HasSubstr("the Access file has no table [Ordres]"));
  const ProgramRun noFile = condition({(temp_.path() / "missing.mdb").string(), "Orders"});
  EXPECT_EQ(noFile.exitCode, 1) << noFile.output;
  EXPECT_THAT(noFile.output, HasSubstr("cannot open the Access file"));
  // Nothing was saved on the way.
  std::ifstream file(home_.path() / "Condition.cfg");
  const std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_THAT(saved, Not(HasSubstr("OrderID > 1")));
}

}  // namespace
}  // namespace tablift::test
