#include "data_access/working_directories.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "tests/data_access/captured_user_messages.h"
#include "tests/support/test_paths.h"

namespace fs = std::filesystem;

namespace tablift {
namespace {

void WriteFile(const fs::path& file) {
  std::ofstream(file) << "not a directory";
}

class WorkingDirectoriesTest : public testing::Test {
 protected:
  fs::path Home() const { return fs::canonical(temp_.path()); }
  static fs::path Current() { return fs::canonical(fs::current_path()); }

  test::ScopedTempDir temp_;
  test::CurrentDirectoryGuard cwd_;
  test::ScopedEnvironment home_{"TABLIFT_HOME", temp_.path().string()};
  test::CapturedUserMessages messages_;
};

TEST_F(WorkingDirectoriesTest, ProgramDirectoryIsTabliftHomeOrTheExecutablesDirectory) {
  EXPECT_EQ(ProgramDirectory(), temp_.path());
  const test::ScopedEnvironment unset("TABLIFT_HOME", std::nullopt);
  // The test program lives in the (writable) build tree.
  EXPECT_EQ(fs::canonical(ProgramDirectory()), fs::canonical("/proc/self/exe").parent_path());
}

TEST_F(WorkingDirectoriesTest, EntersProgramSubdirectories) {
  fs::create_directory(temp_.path() / "data_cache");
  WriteFile(temp_.path() / "data_cache" / "Orders");
  ASSERT_TRUE(EnterProgramSubdirectory("./data_cache"));
  EXPECT_EQ(Current(), Home() / "data_cache");
  EXPECT_TRUE(fs::exists("Orders"));  // an existing directory is kept as it is
  ASSERT_TRUE(EnterProgramSubdirectory(".\\backup"));
  EXPECT_EQ(Current(), Home() / "backup");
  ASSERT_TRUE(EnterProgramSubdirectory("./"));
  EXPECT_EQ(Current(), Home());
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(WorkingDirectoriesTest, PlainFileInThePlaceOfTheDirectoryIsReplaced) {
  WriteFile(temp_.path() / "backup");
  ASSERT_TRUE(EnterProgramSubdirectory("./backup"));
  EXPECT_TRUE(fs::is_directory(Home() / "backup"));
  EXPECT_EQ(Current(), Home() / "backup");

  WriteFile(temp_.path() / "backup" / "orders");
  ASSERT_TRUE(EnterNamedDirectory("orders"));
  EXPECT_EQ(Current(), Home() / "backup" / "orders");
}

TEST_F(WorkingDirectoriesTest, EnterDirectoryTakesBothSeparators) {
  const std::string path = temp_.path().string() + "\\scripts/2024\\shop";
  ASSERT_TRUE(EnterDirectory(path));
  EXPECT_EQ(Current(), Home() / "scripts" / "2024" / "shop");
}

TEST_F(WorkingDirectoriesTest, EnterNamedDirectoryUsesOnlyTheLastName) {
  fs::current_path(temp_.path());
  ASSERT_TRUE(EnterNamedDirectory(R"(C:\backup\shop/Orders)"));
  EXPECT_EQ(Current(), Home() / "Orders");
  ASSERT_TRUE(EnterNamedDirectory(R"(a/b\Customers)"));
  EXPECT_EQ(Current(), Home() / "Orders" / "Customers");
}

TEST_F(WorkingDirectoriesTest, NamesThatLeadOutOfTheCurrentDirectoryAreRefused) {
  fs::current_path(temp_.path());
  for (const char* name : {"", ".", "..", R"(x\..)", "../..", "shop/"}) {
    EXPECT_FALSE(EnterNamedDirectory(name)) << name;
    EXPECT_EQ(Current(), Home()) << name;
  }
  EXPECT_EQ(messages_.texts().size(), 6u);
}

TEST_F(WorkingDirectoriesTest, DirectoryThatCannotBeMadeIsAFailure) {
  WriteFile(temp_.path() / "file");
  const fs::path before = Current();

  EXPECT_FALSE(EnterDirectory((temp_.path() / "file" / "sub").string()));
  EXPECT_EQ(Current(), before);
  ASSERT_EQ(messages_.texts().size(), 1u);
  const std::string message = messages_.texts().front();
  EXPECT_NE(message.find((temp_.path() / "file" / "sub").string()), std::string::npos) << message;
  EXPECT_NE(message.find(std::strerror(ENOTDIR)), std::string::npos) << message;

  const test::ScopedEnvironment home("TABLIFT_HOME", (temp_.path() / "file").string());
  EXPECT_FALSE(EnterProgramSubdirectory("./backup"));
  EXPECT_EQ(Current(), before);
  EXPECT_EQ(messages_.texts().size(), 2u);
}

}  // namespace
}  // namespace tablift
