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
  static fs::path Current() { return fs::canonical(fs::current_path()); }

  test::ScopedTempDir temp_;
  test::ScopedEnvironment home_{"TABLIFT_HOME", temp_.path().string()};
  test::CapturedUserMessages messages_;
};

TEST_F(WorkingDirectoriesTest, ProgramDirectoryIsTabliftHomeOrTheExecutablesDirectory) {
  EXPECT_EQ(ProgramDirectory(), temp_.path());
  const test::ScopedEnvironment unset("TABLIFT_HOME", std::nullopt);
  // The test program lives in the (writable) build tree.
  EXPECT_EQ(fs::canonical(ProgramDirectory()), fs::canonical("/proc/self/exe").parent_path());
}

TEST_F(WorkingDirectoriesTest, MakeDirectoryKeepsWhatIsThereAndReplacesAPlainFile) {
  fs::create_directory(temp_.path() / "data_cache");
  WriteFile(temp_.path() / "data_cache" / "Orders");
  ASSERT_TRUE(MakeDirectory(temp_.path() / "data_cache"));
  EXPECT_TRUE(fs::exists(temp_.path() / "data_cache" / "Orders"));

  WriteFile(temp_.path() / "backup");
  ASSERT_TRUE(MakeDirectory(temp_.path() / "backup"));
  EXPECT_TRUE(fs::is_directory(temp_.path() / "backup"));
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(WorkingDirectoriesTest, DirectoryThatCannotBeMadeIsAFailureThatSaysWhy) {
  WriteFile(temp_.path() / "file");
  const fs::path before = Current();

  EXPECT_FALSE(MakeDirectory(temp_.path() / "file" / "sub"));
  EXPECT_EQ(Current(), before);  // nothing here moves the process
  ASSERT_EQ(messages_.texts().size(), 1u);
  const std::string message = messages_.texts().front();
  EXPECT_NE(message.find((temp_.path() / "file" / "sub").string()), std::string::npos) << message;
  EXPECT_NE(message.find(std::strerror(ENOTDIR)), std::string::npos) << message;
}

}  // namespace
}  // namespace tablift
