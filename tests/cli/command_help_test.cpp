// Every command of the built tablift-cli answers --help with its own usage.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/run_program.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

TEST(CommandHelp, EveryCommandPrintsItsOwnUsageAndSucceeds) {
  ScopedTempDir folder;
  for (const std::string command :
       {"create-mdb", "sample", "migrate", "verify", "backup", "condition", "drivers",
        "install-driver", "db", "drop-table", "drop-view", "rename-table"}) {
    for (const std::string asking : {"--help", "-h"}) {
      // Asked after other arguments too: a command line being written is
      // often finished with --help.
      const ProgramRun run =
          RunProgram({TABLIFT_CLI_PROGRAM, command, "some.mdb", asking}, folder.path());
      EXPECT_EQ(run.exitCode, 0) << command << " " << asking << ": " << run.output;
      EXPECT_THAT(run.output, StartsWith("Usage: tablift-cli " + command))
          << command << " " << asking;
      EXPECT_THAT(run.output, Not(HasSubstr("unexpected argument"))) << command;
    }
  }
}

TEST(CommandHelp, MigrateUsageNamesItsOptions) {
  ScopedTempDir folder;
  const ProgramRun run = RunProgram({TABLIFT_CLI_PROGRAM, "migrate", "--help"}, folder.path());
  for (const char* option : {"--server", "--user", "--password", "--dsn", "--database", "--table",
                             "--views", "--engine", "--charset", "--names"})
    EXPECT_THAT(run.output, HasSubstr(option));
}

TEST(CommandHelp, AWrongArgumentIsStillRefusedWithTheUsage) {
  ScopedTempDir folder;
  const ProgramRun run =
      RunProgram({TABLIFT_CLI_PROGRAM, "migrate", "some.mdb", "--no-such"}, folder.path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_THAT(run.output, HasSubstr("unexpected argument '--no-such'"));
  EXPECT_THAT(run.output, HasSubstr("Usage: tablift-cli migrate"));
}

// The driver the build ships beside tablift-cli, into a driver configuration
// of the test's own.
TEST(InstallDriverCommand, MakesAMissingFolderOrSaysWhyNot) {
  ScopedTempDir folder;
  ScopedTempDir odbc;
  std::ofstream(odbc.path() / "odbcinst.ini") << "";
  ScopedEnvironment configuration{"ODBCSYSINI", odbc.path().string()};

  const std::filesystem::path fresh = folder.path() / "lib" / "odbc";
  const ProgramRun made =
      RunProgram({TABLIFT_CLI_PROGRAM, "install-driver", fresh.string()}, folder.path());
  EXPECT_EQ(made.exitCode, 0) << made.output;
  EXPECT_THAT(made.output, HasSubstr("installed successfully"));
  EXPECT_TRUE(std::filesystem::is_regular_file(fresh / "libmyodbc3.so"));
  EXPECT_THAT(ReadWholeFile(odbc.path() / "odbcinst.ini"),
              HasSubstr("Driver=" + (fresh / "libmyodbc3.so").string()));

  std::ofstream(folder.path() / "plain-file") << "";
  const std::filesystem::path blocked = folder.path() / "plain-file" / "odbc";
  const ProgramRun refused =
      RunProgram({TABLIFT_CLI_PROGRAM, "install-driver", blocked.string()}, folder.path());
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_THAT(refused.output, HasSubstr("Cannot create the folder " + blocked.string()));
}

}  // namespace
}  // namespace tablift::test
