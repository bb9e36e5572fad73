#include <gtest/gtest.h>

#include "mysql/server_version.h"

namespace tablift::test {
namespace {

TEST(ServerVersion, MajorAndMinorAfterTheBracketWhateverTheNameLength) {
  EXPECT_DOUBLE_EQ(ParseServerVersion("MySQL[5.0.51a]"), 5.0);
  EXPECT_DOUBLE_EQ(ParseServerVersion("MariaDB[10.11.6-MariaDB-0+deb12u1]"), 10.11);
  EXPECT_DOUBLE_EQ(ParseServerVersion("MySQL[8.0]"), 8.0);
  EXPECT_DOUBLE_EQ(ParseServerVersion("10.5.2"), 10.5);
  EXPECT_DOUBLE_EQ(ParseServerVersion("MySQL[]"), 0.0);
  EXPECT_DOUBLE_EQ(ParseServerVersion(""), 0.0);
}

}  // namespace
}  // namespace tablift::test
