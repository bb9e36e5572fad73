// Runs the built tablift-cli beside this test program (the build tree's cli
// folder); skipped when it is not there.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/access/libmdb_catalog.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

namespace fs = std::filesystem;

fs::path CliProgram() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return self.parent_path().parent_path() / "cli" / "tablift-cli";
}

struct CliRun {
  int exitCode = -1;
  std::string output;
};

CliRun RunCli(const std::string& arguments) {
  CliRun run;
  const std::string command = "'" + CliProgram().string() + "' " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t length = 0;
  while ((length = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    run.output.append(buffer, length);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class CreateMdbCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(CliProgram())) GTEST_SKIP() << "no tablift-cli at " << CliProgram();
    fs::create_directories(temp_.path() / "home");
    fs::current_path(temp_.path());
  }

  test::ScopedTempDir temp_;
  test::CurrentDirectoryGuard directory_;
  test::ScopedEnvironment home_{"HOME", (temp_.path() / "home").string()};
  test::ScopedEnvironment profile_{"USERPROFILE", std::nullopt};
};

TEST_F(CreateMdbCommandTest, CreatesTheDatabaseRelativeToHereAndPrintsTheLog) {
  const CliRun run = RunCli("create-mdb shop");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Create Access MDB File [shop.mdb]\n"), std::string::npos)
      << run.output;
  const auto catalog = test::ReadLibmdbCatalog(temp_.path() / "shop.mdb");
  ASSERT_TRUE(catalog.has_value());
  EXPECT_TRUE(catalog->userTables.empty());
  EXPECT_TRUE(fs::is_regular_file(temp_.path() / "home" / "Application Data" / "Microsoft" /
                                  "Access" / "System.MDW"));
}

TEST_F(CreateMdbCommandTest, TakesAnAbsolutePath) {
  const fs::path target = temp_.path() / "home" / "abs.mdb";
  EXPECT_EQ(RunCli("create-mdb '" + target.string() + "'").exitCode, 0);
  EXPECT_TRUE(fs::is_regular_file(target));
}

TEST_F(CreateMdbCommandTest, AnExistingFileExitsWithOne) {
  std::ofstream(temp_.path() / "taken.mdb") << "mine";
  const CliRun run = RunCli("create-mdb taken.mdb");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("Create DB \r\n failed with error code:[0x80040e17]"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(fs::file_size(temp_.path() / "taken.mdb"), 4u);
}

TEST_F(CreateMdbCommandTest, AMissingPathIsAWrongCall) {
  EXPECT_EQ(RunCli("create-mdb").exitCode, 2);
}

TEST_F(CreateMdbCommandTest, HelpListsTheCommand) {
  const CliRun run = RunCli("--help");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("create-mdb PATH"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace tablift
