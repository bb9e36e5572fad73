// Connecting the MySQL side with its profile, and switching it to another
// database, against the private MariaDB server.

#include <gtest/gtest.h>

#include "engine/connect_side.h"
#include "engine/select_database.h"
#include "mysql/execute_statement.h"
#include "mysql/server_version.h"
#include "tests/support/access_source.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"

namespace tablift {
namespace {

class ConnectTargetTest : public test::JetSourceTest {
 protected:
  void SetUp() override {
    server_ = test::PrivateServerFromEnvironment();
    if (!server_) GTEST_SKIP() << "no private MariaDB server";
    window_.targetProfile() = {
        "TCP/IP:Port", "MSDASQL",        server_->host + ":" + std::to_string(server_->port), "",
        server_->user, server_->password};
  }

  std::optional<test::PrivateServer> server_;
};

TEST_F(ConnectTargetTest, ConnectsNamesTheServerAndSpeaksTheChosenCharacterSet) {
  window_.setCharset("utf8");
  ConnectTarget(window_);
  ASSERT_NE(window_.targetSession(), nullptr);
  const std::string name = window_.targetConnection().dbmsName();
  EXPECT_NE(name.find('['), std::string::npos) << name;
  EXPECT_GE(ParseServerVersion(name), 10.0) << name;
  // The session speaks the character set new tables get; a connect keeps it.
  EXPECT_EQ(window_.charset(), "utf8");
  EXPECT_EQ(window_.targetSession()->clientCharset(), "utf8");
  const auto lines = logTexts();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Connect Target Database!"), lines.end());
}

TEST_F(ConnectTargetTest, SelectingADatabaseReconnectsToIt) {
  ConnectTarget(window_);
  ASSERT_NE(window_.targetSession(), nullptr);
  test::ScratchDatabase scratch(window_, "select_target");
  ASSERT_TRUE(SelectDatabase(window_, scratch.name(), Workbench::kTargetSide));
  ASSERT_NE(window_.targetSession(), nullptr);
  EXPECT_EQ(window_.targetProfile().catalogName, scratch.name());
  EXPECT_EQ(window_.treeDatabasePath(Workbench::kTargetSide), scratch.name());
  EXPECT_EQ(test::QueryColumn(window_, "select database()"),
            std::vector<std::string>{scratch.name()});
}

TEST_F(ConnectTargetTest, AServerThatCannotBeReachedLeavesTheTargetClosed) {
  window_.targetProfile().password = "certainly not the password";
  ConnectTarget(window_);
  EXPECT_EQ(window_.targetSession(), nullptr);
  EXPECT_EQ(prompter_.texts(ScriptedPrompter::Kind::Message),
            std::vector<std::string>{"Target Connection error!"});
}

}  // namespace
}  // namespace tablift

namespace tablift {
namespace {

// Values must never change silently on the way in: strict mode for every
// engine, and backslashes in string literals keep their escaping meaning
// whatever the server's default mode.
TEST_F(ConnectTargetTest, TheSessionRefusesValuesThatDoNotFitAndKeepsBackslashEscapes) {
  ConnectTarget(window_);
  ASSERT_NE(window_.targetSession(), nullptr);
  test::ExecuteOrFail(window_, "SET SESSION sql_mode = 'NO_BACKSLASH_ESCAPES'");
  ConnectTarget(window_);  // a new session starts from the server's mode again
  ASSERT_NE(window_.targetSession(), nullptr);
  const std::string mode = test::QueryColumn(window_, "select @@SESSION.sql_mode").at(0);
  EXPECT_NE(mode.find("STRICT_ALL_TABLES"), std::string::npos) << mode;
  EXPECT_EQ(mode.find("NO_BACKSLASH_ESCAPES"), std::string::npos) << mode;

  test::ScratchDatabase scratch(window_, "strict_mode");
  test::ExecuteOrFail(
      window_, "create table `" + scratch.name() + "`.t (v varchar(3), n tinyint) engine=MyISAM");
  EXPECT_FALSE(ExecuteStatement(window_, window_.targetSession(),
                                "insert into `" + scratch.name() + "`.t values ('abcd', 1)")
                   .ok());
  EXPECT_FALSE(ExecuteStatement(window_, window_.targetSession(),
                                "insert into `" + scratch.name() + "`.t values ('a', 300)")
                   .ok());
  EXPECT_EQ(test::QueryColumn(window_, "select count(*) from `" + scratch.name() + "`.t"),
            std::vector<std::string>{"0"});
}

TEST_F(ConnectTargetTest, ConnectIsRefusedWhileTasksRun) {
  window_.runState().store(RunState::StopRequested);
  ConnectCommand(window_);
  EXPECT_EQ(window_.targetSession(), nullptr);
  EXPECT_EQ(prompter_.texts(ScriptedPrompter::Kind::Message),
            std::vector<std::string>{"Some Tasks is Stopping, Please try again later!!!"});
  window_.runState().store(RunState::Idle);
  ConnectCommand(window_);
  EXPECT_NE(window_.targetSession(), nullptr);
}

}  // namespace
}  // namespace tablift
