#include "data_access/profile_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/test_paths.h"

namespace tablift {
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void Write(const std::string& content) { std::ofstream(file, std::ios::binary) << content; }
  std::string Content() const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  test::ScopedTempDir directory;
  std::filesystem::path file = directory.path() / "Condition.cfg";
};

TEST_F(ProfileFileTest, ReadsLikeTheWindowsProfileFunctions) {
  Write(
      "; a comment=not a key\n"
      "[C:\\Data\\Shop]\r\n"
      "  Order Details =  Quantity > 5  \r\n"
      "Quoted=\"  kept blanks  \"\n"
      "Single='x' = 'y'\n"
      "[Other]\n"
      "Order Details=Other section\n"
      "[c:\\data\\SHOP]\n"
      "Late=a second section of the same name does not count\n");
  EXPECT_EQ(ReadProfileString(file, "c:\\data\\shop", "ORDER DETAILS", "-"), "Quantity > 5");
  EXPECT_EQ(ReadProfileString(file, "C:\\Data\\Shop", "Quoted", "-"), "  kept blanks  ");
  // One pair of outer quotes is taken off, as Windows does; the writer quotes
  // such values once more so that they survive.
  EXPECT_EQ(ReadProfileString(file, "C:\\Data\\Shop", "Single", "-"), "x' = 'y");
  EXPECT_EQ(ReadProfileString(file, "Other", "Order Details", "-"), "Other section");
  EXPECT_EQ(ReadProfileString(file, "C:\\Data\\Shop", "Late", "-"), "-");
  EXPECT_EQ(ReadProfileString(file, "C:\\Data\\Shop", "; a comment", "-"), "-");
  EXPECT_EQ(ReadProfileString(file, "Missing", "Order Details", "default"), "default");
  EXPECT_EQ(ReadProfileString(directory.path() / "none.cfg", "a", "b", "d"), "d");
}

TEST_F(ProfileFileTest, WritesOneKeyAndKeepsEveryOtherLine) {
  Write("; settings\n[Source]\nUser=admin\nPassword=x\n\n[Target]\nUser=root\n");
  ASSERT_TRUE(WriteProfileString(file, "source", "PASSWORD", "secret"));
  ASSERT_TRUE(WriteProfileString(file, "Source", "Catalog", "shop"));
  ASSERT_TRUE(WriteProfileString(file, "New", "Key", "value"));
  EXPECT_EQ(Content(),
            "; settings\n[Source]\nUser=admin\nPASSWORD=secret\nCatalog=shop\n\n[Target]\n"
            "User=root\n[New]\nKey=value\n");
  EXPECT_EQ(ReadProfileString(file, "source", "password", ""), "secret");
}

TEST_F(ProfileFileTest, ValuesReadBackWholeAndAsWritten) {
  const std::string longValue = std::string(3000, 'x') + " = 'quoted'";
  const std::string values[] = {longValue,
                                "  outer blanks  ",
                                "'both quoted'",
                                "\"x\"",
                                "",
                                "a=b; [c]",
                                "\xC3\x9Cmlaut \xF0\x9F\x98\x80"};
  for (const std::string& value : values) {
    ASSERT_TRUE(WriteProfileString(file, "Section", "Key", value)) << value;
    EXPECT_EQ(ReadProfileString(file, "Section", "Key", "-"), value);
  }
}

TEST_F(ProfileFileTest, CrLfFilesStayCrLf) {
  Write("[A]\r\nx=1\r\n");
  ASSERT_TRUE(WriteProfileString(file, "A", "y", "2"));
  ASSERT_TRUE(WriteProfileString(file, "B", "z", "3"));
  EXPECT_EQ(Content(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
}

TEST_F(ProfileFileTest, AByteOrderMarkStaysWhereItWas) {
  // Dropping the mark would turn a second one into the start of the first
  // line, and the section there would no longer be found.
  const std::string mark = "\xEF\xBB\xBF";
  Write(mark + mark + "[A]\nx=1\n");
  ASSERT_TRUE(WriteProfileString(file, "B", "y", "2"));
  EXPECT_EQ(Content(), mark + mark + "[A]\nx=1\n[B]\ny=2\n");
  EXPECT_EQ(ReadProfileString(file, "B", "y", "-"), "2");

  Write(mark + "[A]\nx=1\n");
  ASSERT_TRUE(WriteProfileString(file, "A", "x", "3"));
  EXPECT_EQ(Content(), mark + "[A]\nx=3\n");
}

TEST_F(ProfileFileTest, RefusesWhatCouldNotBeReadBack) {
  std::string error;
  EXPECT_FALSE(WriteProfileString(file, "A", "key", "two\nlines", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WriteProfileString(file, "A", "a=b", "v", &error));
  EXPECT_FALSE(WriteProfileString(file, "A", " padded", "v", &error));
  EXPECT_FALSE(WriteProfileString(file, "A", "", "v", &error));
  EXPECT_FALSE(WriteProfileString(file, "A]", "k", "v", &error));
  EXPECT_FALSE(std::filesystem::exists(file));
  // A folder that is not there: a reason, no crash.
  EXPECT_FALSE(WriteProfileString(directory.path() / "no" / "file.cfg", "A", "k", "v", &error));
  EXPECT_NE(error.find("file.cfg"), std::string::npos) << error;
}

TEST_F(ProfileFileTest, PrivateFilesAreForTheOwnerOnly) {
  ASSERT_TRUE(WriteProfileString(file, "Target", "Password", "secret", nullptr,
                                 ProfileFileAccess::Private));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // An existing shared file keeps its permissions when a key is written.
  const std::filesystem::path shared = directory.path() / "shared.cfg";
  std::ofstream(shared) << "[A]\n";
  ::chmod(shared.c_str(), 0644);
  ASSERT_TRUE(WriteProfileString(shared, "A", "k", "v"));
  ASSERT_EQ(::stat(shared.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  // No temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory.path()))
    ++entries;
  EXPECT_EQ(entries, 2);
}

}  // namespace
}  // namespace tablift
