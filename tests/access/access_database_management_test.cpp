#include "access/access_database_management.h"

#include <gtest/gtest.h>
#include <mdbtools.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/access/libmdb_catalog.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWhole(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// An empty Access database as libmdb sees it: Jet 4, the system catalog,
// no user table.
void ExpectEmptyJet4Database(const fs::path& path) {
  const auto catalog = test::ReadLibmdbCatalog(path);
  ASSERT_TRUE(catalog.has_value()) << path;
  EXPECT_EQ(catalog->jetVersion, MDB_VER_JET4);
  EXPECT_TRUE(catalog->userTables.empty());
  EXPECT_NE(std::find(catalog->systemTables.begin(), catalog->systemTables.end(), "MSysObjects"),
            catalog->systemTables.end());
}

// Each test works in a fresh current directory with a fresh home folder.
class AccessDatabaseManagementTest : public ::testing::Test {
 protected:
  AccessDatabaseManagementTest()
      : home_("HOME", (temp_.path() / "home").string()), profile_("USERPROFILE", std::nullopt) {
    fs::create_directories(temp_.path() / "home");
    fs::create_directories(work());
    fs::current_path(work());
  }

  fs::path work() const { return temp_.path() / "work"; }
  fs::path workgroup() const {
    return temp_.path() / "home" / "Application Data" / "Microsoft" / "Access" / "System.MDW";
  }
  // Whether a logged line, past its timestamp, starts with `text`.
  static bool StartsWith(const std::string& line, const std::string& text) {
    return line.compare(24, text.size(), text) == 0;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const LogLine& line : window_.output().lines())
      result.push_back(line.text);
    return result;
  }

  test::ScopedTempDir temp_;
  test::CurrentDirectoryGuard directory_;
  test::ScopedEnvironment home_;
  test::ScopedEnvironment profile_;
  ScriptedPrompter prompter_;
  mutable Workbench window_{prompter_};
};

TEST_F(AccessDatabaseManagementTest, CreatesAnEmptyDatabaseUnderItsBareNameHere) {
  ASSERT_TRUE(CreateAccessDatabase(window_, "", "Access_New"));
  ExpectEmptyJet4Database(work() / "Access_New.mdb");
  const auto lines = texts();
  ASSERT_FALSE(lines.empty());
  // "YYYY/MM/DD HH:MM:SS:mmm " and then the text.
  EXPECT_EQ(lines[0].substr(24), "Create Access MDB File [Access_New.mdb]");
  EXPECT_EQ(lines[0][4], '/');
  EXPECT_EQ(lines.size(), 1u);
}

TEST_F(AccessDatabaseManagementTest, KeepsANameThatContainsMdb) {
  ASSERT_TRUE(CreateAccessDatabase(window_, "", "x.mdb.bak"));
  ExpectEmptyJet4Database(work() / "x.mdb.bak");
  EXPECT_FALSE(fs::exists(work() / "x.mdb.bak.mdb"));
  ASSERT_TRUE(CreateAccessDatabase(window_, "", "y.mdb"));
  EXPECT_TRUE(fs::exists(work() / "y.mdb"));
  EXPECT_FALSE(fs::exists(work() / "y.mdb.mdb"));
}

TEST_F(AccessDatabaseManagementTest, UsesTheFolderItIsGivenWithEitherSeparator) {
  fs::create_directories(work() / "shop" / "old");
  ASSERT_TRUE(CreateAccessDatabase(window_, "shop\\old\\", "Access_New"));
  ExpectEmptyJet4Database(work() / "shop" / "old" / "Access_New.mdb");
  EXPECT_EQ(texts()[0].substr(24), "Create Access MDB File [shop/old/Access_New.mdb]");
  ASSERT_TRUE(CreateAccessDatabase(window_, (work() / "shop").string() + "/", "Other"));
  ExpectEmptyJet4Database(work() / "shop" / "Other.mdb");
}

TEST_F(AccessDatabaseManagementTest, AnExistingFileFailsAtCreateDbAndIsUntouched) {
  WriteWhole(work() / "orders.mdb", "not a database, but mine");
  EXPECT_FALSE(CreateAccessDatabase(window_, "", "orders"));
  EXPECT_EQ(ReadWhole(work() / "orders.mdb"), "not a database, but mine");
  const auto lines = texts();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(24), "Create Access MDB File [orders.mdb]");
  EXPECT_TRUE(StartsWith(lines[1], "Create DB \r\n failed with error code:[0x80040e17] \r\n"))
      << lines[1];
  EXPECT_NE(lines[2].find("orders.mdb"), std::string::npos) << lines[2];
  // Nothing was created, so the workgroup file was not looked after either.
  EXPECT_FALSE(fs::exists(workgroup()));
}

TEST_F(AccessDatabaseManagementTest, AMissingFolderFailsAtCreateDb) {
  EXPECT_FALSE(CreateAccessDatabase(window_, "", "nowhere/orders"));
  const auto lines = texts();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(StartsWith(lines[1], "Create DB \r\n failed with error code:[0x80004005] \r\n"))
      << lines[1];
  EXPECT_FALSE(lines[2].substr(24).empty());
  EXPECT_FALSE(fs::exists(work() / "nowhere"));
}

TEST_F(AccessDatabaseManagementTest, CreatesTheWorkgroupFileUnderHome) {
  ASSERT_TRUE(CreateWorkgroupFile(window_));
  ExpectEmptyJet4Database(workgroup());
  EXPECT_TRUE(texts().empty());
}

TEST_F(AccessDatabaseManagementTest, AnExistingWorkgroupFileFailsAtCreateSysDb) {
  ASSERT_TRUE(CreateWorkgroupFile(window_));
  const std::string before = ReadWhole(workgroup());
  EXPECT_FALSE(CreateWorkgroupFile(window_));
  EXPECT_EQ(ReadWhole(workgroup()), before);
  const auto lines = texts();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(StartsWith(lines[0], "Create SysDB \r\n failed with error code:[0x80040e17] \r\n"))
      << lines[0];
}

TEST_F(AccessDatabaseManagementTest, CreatingADatabaseAlsoCreatesTheWorkgroupFile) {
  ASSERT_TRUE(CreateAccessDatabase(window_, "", "a"));
  ExpectEmptyJet4Database(workgroup());
}

TEST_F(AccessDatabaseManagementTest, ADirectoryInPlaceOfTheWorkgroupFileIsReplaced) {
  fs::create_directories(workgroup() / "inner");
  WriteWhole(workgroup() / "inner" / "stray.txt", "stray");
  ASSERT_TRUE(CreateAccessDatabase(window_, "", "a"));
  EXPECT_TRUE(fs::is_regular_file(workgroup()));
  ExpectEmptyJet4Database(workgroup());
}

TEST_F(AccessDatabaseManagementTest, AnExistingWorkgroupFileIsLeftAlone) {
  fs::create_directories(workgroup().parent_path());
  WriteWhole(workgroup(), "someone's workgroup");
  ASSERT_TRUE(CreateAccessDatabase(window_, "", "a"));
  EXPECT_EQ(ReadWhole(workgroup()), "someone's workgroup");
  EXPECT_EQ(texts().size(), 1u);
}

}  // namespace
}  // namespace tablift
