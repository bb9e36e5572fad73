// The built tablift-cli migrating and verifying the sample database against
// the private server, judged by its exit codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Converters/config_file.h"
#include "tests/migration/migration_fixture.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct ProgramRun {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

// Runs the program with its arguments as they are (no shell in between),
// its output collected in a file of `folder`.
ProgramRun RunProgram(const std::vector<std::string>& arguments, const fs::path& folder) {
  ProgramRun run;
  const fs::path outputFile = folder / "program-output.txt";
  std::vector<char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) {
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
    }
    const int in = open("/dev/null", O_RDONLY);
    if (in >= 0) dup2(in, STDIN_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (child < 0) return run;
  int status = 0;
  waitpid(child, &status, 0);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(outputFile);
  std::ostringstream text;
  text << in.rdbuf();
  run.output = text.str();
  return run;
}

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

  // A clone: the views over "Order Details" cannot be made.
  const std::string clone = mdb.stem().string();
  dropLater(clone);
  const ProgramRun cloned = RunProgram(command("migrate", mdb), temp_.path());
  EXPECT_EQ(cloned.exitCode, 1) << cloned.output;
  EXPECT_THAT(cloned.output, HasSubstr("Operation FAILURE!"));
  EXPECT_EQ(targetTables(clone).size(), 6u) << cloned.output;

  // The tables into an existing database.
  const std::string database = createTargetDatabase("cli");
  auto tables = command("migrate", mdb);
  tables.insert(tables.end(), {"--database", database, "--tables"});
  const ProgramRun migrated = RunProgram(tables, temp_.path());
  EXPECT_EQ(migrated.exitCode, 0) << migrated.output;
  EXPECT_THAT(migrated.output, HasSubstr("Operation completed SUCCESSFULLY!"));

  auto verify = command("verify", mdb);
  verify.insert(verify.end(), {"--database", database});
  const ProgramRun identical = RunProgram(verify, temp_.path());
  EXPECT_EQ(identical.exitCode, 0) << identical.output;
  EXPECT_THAT(identical.output, HasSubstr("6 tables identical, 0 differ"));

  ExecuteOrFail(window_, "delete from `" + database + "`.`Order` limit 1");
  const ProgramRun differing = RunProgram(verify, temp_.path());
  EXPECT_EQ(differing.exitCode, 1) << differing.output;
  EXPECT_THAT(differing.output, HasSubstr("[Order] differs: 100 rows in Access, 99 in MySQL"));
  EXPECT_THAT(differing.output, HasSubstr("5 tables identical, 1 differ"));
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
  EXPECT_EQ(targetTables(database).size(), 6u) << migrated.output;
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
