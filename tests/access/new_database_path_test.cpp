#include "access/new_database_path.h"

#include <gtest/gtest.h>

#include "tests/support/test_paths.h"

namespace tablift {
namespace {

TEST(NewDatabasePathTest, AppendsMdbOnlyWhenThePathHasNone) {
  EXPECT_EQ(NewAccessDatabasePath("", "Access_New"), "Access_New.mdb");
  EXPECT_EQ(NewAccessDatabasePath("", "x.mdb"), "x.mdb");
  EXPECT_EQ(NewAccessDatabasePath("", "x.mdb.bak"), "x.mdb.bak");
  // The folder counts too: ".mdb" anywhere in the path means no ending.
  EXPECT_EQ(NewAccessDatabasePath("old.mdb.d/", "x"), "old.mdb.d/x");
  // The test is case-sensitive, as the path rule is.
  EXPECT_EQ(NewAccessDatabasePath("", "X.MDB"), "X.MDB.mdb");
}

TEST(NewDatabasePathTest, FolderPartEndsAtTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(FolderPart("C:\\data\\shop\\orders.mdb"), "C:\\data\\shop\\");
  EXPECT_EQ(FolderPart("/srv/data/orders.mdb"), "/srv/data/");
  EXPECT_EQ(FolderPart("a/b\\orders.mdb"), "a/b\\");
  EXPECT_EQ(FolderPart("a\\b/orders.mdb"), "a\\b/");
  EXPECT_EQ(FolderPart("orders.mdb"), "");
  EXPECT_EQ(FolderPart(""), "");
  EXPECT_EQ(FolderPart("/"), "/");
}

TEST(NewDatabasePathTest, BackslashesBecomeSlashes) {
  EXPECT_EQ(NewAccessDatabasePath("C:\\data\\", "Access_New"), "C:/data/Access_New.mdb");
  EXPECT_EQ(NewAccessDatabasePath("", "sub\\x.mdb"), "sub/x.mdb");
}

TEST(NewDatabasePathTest, WorkgroupFileIsUnderTheProfileFolder) {
  test::ScopedEnvironment home("HOME", std::string("/home/someone"));
  {
    test::ScopedEnvironment profile("USERPROFILE", std::nullopt);
    EXPECT_EQ(WorkgroupFilePath(), "/home/someone/Application Data/Microsoft/Access/System.MDW");
  }
  test::ScopedEnvironment profile("USERPROFILE", std::string("/profiles/other"));
  EXPECT_EQ(WorkgroupFilePath(), "/profiles/other/Application Data/Microsoft/Access/System.MDW");
}

}  // namespace
}  // namespace tablift
