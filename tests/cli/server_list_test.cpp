#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/connection_options.h"

namespace tablift {
namespace {

TEST(ServerListTest, NamesOneServerOrEveryNodeOfACluster) {
  EXPECT_EQ(ParseServerList("db.example:3306").value(),
            std::vector<std::string>{"db.example:3306"});
  EXPECT_EQ(ParseServerList("localhost").value(), std::vector<std::string>{"localhost"});
  EXPECT_EQ(ParseServerList("10.0.0.1:3306, 10.0.0.2:3307 ,10.0.0.3").value(),
            (std::vector<std::string>{"10.0.0.1:3306", "10.0.0.2:3307", "10.0.0.3"}));
  EXPECT_EQ(ParseServerList("[::1]:3306,[::1]").value(),
            (std::vector<std::string>{"[::1]:3306", "[::1]"}));
}

TEST(ServerListTest, AnEmptyEntryOrABadPortIsRefusedByName) {
  EXPECT_FALSE(ParseServerList("").ok());
  EXPECT_FALSE(ParseServerList("a:1,,b:2").ok());
  EXPECT_FALSE(ParseServerList("a:1,").ok());
  const auto badPort = ParseServerList("a:1,b:port");
  ASSERT_FALSE(badPort.ok());
  EXPECT_NE(badPort.message().find("'b:port'"), std::string::npos) << badPort.message();
  EXPECT_FALSE(ParseServerList("a:0").ok());
  EXPECT_FALSE(ParseServerList("a:65536").ok());
  EXPECT_FALSE(ParseServerList("a:").ok());
}

}  // namespace
}  // namespace tablift
