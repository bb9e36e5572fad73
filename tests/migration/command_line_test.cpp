// The built tablift-cli migrating and verifying the sample database against
// the private server, judged by its exit codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/config_file.h"
#include "tests/migration/migration_fixture.h"
#include "tests/support/run_program.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

class CommandLineTest : public MigrationTest {
 protected:
  std::vector<std::string> command(const std::string& verb, const fs::path& mdb) {
    return {TABLIFT_CLI_PROGRAM,
            verb,
            mdb.string(),
            "--server",
            server_->host + ":" + std::to_string(server_->port),
            "--user",
            server_->user,
            "--password",
            server_->password};
  }
};

TEST_F(CommandLineTest, MigrateAndVerifyTellTheirOutcomeByTheirExitCode) {
  const fs::path mdb = writeSample(100);
  // For the checks and the clean-up on this side.
  connect(mdb);
  if (HasFatalFailure()) return;

  // A clone: every table arrives, "Order Details" too. Nobody is asked: the
  // log says what is done.
  const std::string clone = mdb.stem().string();
  dropLater(clone);
  const ProgramRun cloned = RunProgram(command("migrate", mdb), temp_.path());
  EXPECT_EQ(cloned.exitCode, 0) << cloned.output;
  EXPECT_THAT(cloned.output, HasSubstr("Cloning database [" + sourceDatabase() +
                                       "] into a new database [" + clone + "]"));
  EXPECT_THAT(cloned.output, Not(HasSubstr("Clone database [")));
  EXPECT_THAT(cloned.output, HasSubstr("Operation completed SUCCESSFULLY!"));
  EXPECT_EQ(targetTables(clone).size(), 8u) << cloned.output;

  // The tables into an existing database.
  const std::string database = createTargetDatabase("cli");
  auto tables = command("migrate", mdb);
  tables.insert(tables.end(), {"--database", database, "--tables"});
  const ProgramRun migrated = RunProgram(tables, temp_.path());
  EXPECT_EQ(migrated.exitCode, 0) << migrated.output;
  EXPECT_THAT(migrated.output, HasSubstr("Operation completed SUCCESSFULLY!"));

  // Once more: the tables exist, so the task fails. The verdict comes after
  // the whole log and the run's summary, on a line of its own.
  const ProgramRun again = RunProgram(tables, temp_.path());
  EXPECT_EQ(again.exitCode, 1) << again.output;
  EXPECT_THAT(again.output, HasSubstr("Operation FAILURE!\n\ntable "));
  EXPECT_THAT(again.output,
              HasSubstr("Procedures: 0 made, 0 left out\ntablift-cli migrate: " + mdb.string() +
                        ": not every task ended SUCCESS (see the log)\n"));
  EXPECT_THAT(again.output, EndsWith(": not every task ended SUCCESS (see the log)\n"));

  auto verify = command("verify", mdb);
  verify.insert(verify.end(), {"--database", database});
  const ProgramRun identical = RunProgram(verify, temp_.path());
  EXPECT_EQ(identical.exitCode, 0) << identical.output;
  EXPECT_THAT(identical.output, HasSubstr("[Order Details] 100 rows: identical"));
  EXPECT_THAT(identical.output, HasSubstr("8 tables identical, 0 differ"));

  ExecuteOrFail(window_, "delete from `" + database + "`.`Order Details` limit 1");
  const ProgramRun differing = RunProgram(verify, temp_.path());
  EXPECT_EQ(differing.exitCode, 1) << differing.output;
  EXPECT_THAT(differing.output,
              HasSubstr("[Order Details] differs: 100 rows in Access, 99 in MySQL"));
  EXPECT_THAT(differing.output, HasSubstr("7 tables identical, 1 differ"));

  // MySQL-friendly names, verified under the same rule.
  const std::string friendly = createTargetDatabase("cli_names");
  auto underscored = command("migrate", mdb);
  underscored.insert(underscored.end(), {"--database", friendly, "--names", "underscore"});
  const ProgramRun renamed = RunProgram(underscored, temp_.path());
  EXPECT_EQ(renamed.exitCode, 0) << renamed.output;
  EXPECT_THAT(targetTables(friendly), Contains("Order_Details"));
  EXPECT_THAT(targetTables(friendly, true), Contains("Order_Lines"));
  auto verifyFriendly = command("verify", mdb);
  verifyFriendly.insert(verifyFriendly.end(), {"--database", friendly, "--names", "underscore"});
  const ProgramRun friendlyIdentical = RunProgram(verifyFriendly, temp_.path());
  EXPECT_EQ(friendlyIdentical.exitCode, 0) << friendlyIdentical.output;
  EXPECT_THAT(friendlyIdentical.output, HasSubstr("8 tables identical, 0 differ"));
  underscored.back() = "sideways";
  const ProgramRun wrongRule = RunProgram(underscored, temp_.path());
  EXPECT_EQ(wrongRule.exitCode, 2) << wrongRule.output;
  EXPECT_THAT(wrongRule.output, HasSubstr("--names is keep or underscore"));
}

// Without server options the command line takes what the desktop program
// saved; without saved settings it says what is missing.
TEST_F(CommandLineTest, SavedSettingsStandInForLeftOutOptions) {
  const fs::path mdb = writeSample(20);
  connect(mdb);
  if (HasFatalFailure()) return;
  const std::string database = createTargetDatabase("cli_saved");
  const std::vector<std::string> bare = {TABLIFT_CLI_PROGRAM, "migrate", "--database", database,
                                         "--tables"};

  const ProgramRun refused = RunProgram(bare, temp_.path());
  EXPECT_EQ(refused.exitCode, 1) << refused.output;
  EXPECT_THAT(refused.output, HasSubstr("or save them in the desktop program's configuration"));

  const ConnectionProfile source{
      "Microsoft Jet 4.0 OLE DB Provider", "", mdb.string(), "", "Admin", ""};
  const ConnectionProfile target{
      "TCP/IP:Port",    "", server_->host + ":" + std::to_string(server_->port), "", server_->user,
      server_->password};
  std::string error;
  ASSERT_TRUE(SaveConfigFlag(ConfigFilePath(), "Config", true, &error)) << error;
  ASSERT_TRUE(SaveConfigProfiles(ConfigFilePath(), source, target, &error)) << error;
  const ProgramRun migrated = RunProgram(bare, temp_.path());
  EXPECT_EQ(migrated.exitCode, 0) << migrated.output;
  EXPECT_EQ(targetTables(database).size(), 8u) << migrated.output;
}

// The backup command saves what the server holds; it needs no Access file.
TEST_F(CommandLineTest, BackupWritesTheChosenObjectsIntoTheFolder) {
  connect(writeSample(20));
  if (HasFatalFailure()) return;
  const std::string database = createTargetDatabase("cli_backup");
  ASSERT_NE(migrate("Tables", "", database), nullptr);
  std::vector<std::string> backup = command("backup", {});
  backup.erase(backup.begin() + 2);  // no Access file
  backup.insert(backup.end(), {"--database", database});

  std::vector<std::string> one = backup;
  one.insert(one.end(), {"--table", "Customers", "--dir", (temp_.path() / "one").string()});
  const ProgramRun table = RunProgram(one, temp_.path());
  EXPECT_EQ(table.exitCode, 0) << table.output;
  EXPECT_TRUE(fs::exists(temp_.path() / "one" / "TABLES" / "Customers.tbl")) << table.output;
  EXPECT_TRUE(fs::exists(temp_.path() / "one" / "DATA" / "Customers.data")) << table.output;

  std::vector<std::string> whole = backup;
  whole.insert(whole.end(), {"--dir", (temp_.path() / "all").string()});
  const ProgramRun all = RunProgram(whole, temp_.path());
  EXPECT_EQ(all.exitCode, 0) << all.output;
  EXPECT_TRUE(fs::exists(temp_.path() / "all" / database / "DATA" / "Order.data")) << all.output;

  std::vector<std::string> missing = backup;
  missing.insert(missing.end(), {"--view", "Nothing", "--dir", temp_.path().string()});
  const ProgramRun refused = RunProgram(missing, temp_.path());
  EXPECT_EQ(refused.exitCode, 1) << refused.output;
  EXPECT_THAT(refused.output, HasSubstr("the database has no view [Nothing]"));

  const ProgramRun noFolder = RunProgram(backup, temp_.path());
  EXPECT_EQ(noFolder.exitCode, 2) << noFolder.output;
  EXPECT_THAT(noFolder.output, HasSubstr("--dir is needed"));
}

// The server management commands: what they ask, what they change and
// their exit codes. Questions are answered on the terminal (here: none, so
// "no") unless --yes is given.
TEST_F(CommandLineTest, ManagementCommandsAskUnlessToldYes) {
  ASSERT_TRUE(ConnectTarget(window_, *server_));
  const std::string database = UniqueName("cli_manage");
  dropLater(database);
  const auto run = [&](std::vector<std::string> words) {
    std::vector<std::string> arguments = {TABLIFT_CLI_PROGRAM};
    arguments.insert(arguments.end(), words.begin(), words.end());
    for (const std::string& option :
         {std::string("--server"), server_->host + ":" + std::to_string(server_->port),
          std::string("--user"), server_->user, std::string("--password"), server_->password})
      arguments.push_back(option);
    return RunProgram(arguments, temp_.path());
  };
  const ProgramRun created = run({"db", "create", database});
  ASSERT_EQ(created.exitCode, 0) << created.output;
  const std::string in = "`" + database + "`.";
  for (const std::string& sql :
       {"create table " + in + "orders (id int)", "create table " + in + "notes (id int)",
        "insert into " + in + "orders values (1)",
        "create view " + in + "recent as select id from " + in + "orders"})
    ExecuteOrFail(window_, sql);

  ProgramRun result = run({"drop-table", "notes", "--database", database});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  result = run({"rename-table", "orders", "purchases", "--database", database});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(targetTables(database), std::vector<std::string>{"purchases"});
  result = run({"drop-view", "recent", "--database", database});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_TRUE(targetTables(database, true).empty());

  result = run({"db", "clear-data", database});
  EXPECT_EQ(result.exitCode, 1) << result.output;
  EXPECT_THAT(result.output, HasSubstr("Delete all the data of [" + database + "]?"));
  EXPECT_EQ(query("select count(*) from " + in + "purchases"), std::vector<std::string>{"1"});
  result = run({"db", "clear-data", database, "--yes"});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_THAT(result.output, HasSubstr("[1] tables emptied!"));
  EXPECT_EQ(query("select count(*) from " + in + "purchases"), std::vector<std::string>{"0"});

  result = run({"db", "drop", database, "--yes"});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_THAT(tryQuery("select 1 from " + in + "purchases"), HasSubstr("doesn't exist"));
  result = run({"db", "drop", database, "--yes"});
  EXPECT_EQ(result.exitCode, 1) << result.output;
  result = run({"db", "vacuum", database});
  EXPECT_EQ(result.exitCode, 2) << result.output;
}

}  // namespace
}  // namespace tablift::test
