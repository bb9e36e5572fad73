// Statement execution with its outcome lines, on a real session of the
// private MariaDB server.

#include "mysql/execute_statement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "data_access/error_texts.h"
#include "engine/workbench.h"
#include "tests/mysql/layer_connection.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class ExecuteStatementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = PrivateServerFromEnvironment();
    if (!server_) GTEST_SKIP() << "the private MariaDB server is not running";
    Connection& target = window_.targetConnection();
    ASSERT_EQ(OpenServerDataSource(*server_, target.dataSource, std::nullopt, std::nullopt, ""),
              S_OK)
        << DescribeOleDbError(&target.dataSource, InterfaceId::IDBInitialize);
    target.session = std::make_shared<Session>();
    ASSERT_EQ(target.session->open(target.dataSource), S_OK);
    ASSERT_TRUE(ExecuteStatement(window_, window_.targetSession(),
                                 "create database if not exists tablift_statements")
                    .ok());
    ASSERT_TRUE(ExecuteStatement(window_, window_.targetSession(), "use tablift_statements").ok());
  }

  // The lines written since the last call, without time stamps.
  std::vector<std::string> NewLines() {
    static const std::regex kStamp(R"(^\d+/\d+/\d+ \d+:\d+:\d+:\d+ )");
    std::vector<std::string> texts;
    for (const LogLine& line : window_.output().lines()) {
      if (line.sequence <= seen_) continue;
      seen_ = line.sequence;
      texts.push_back(std::regex_replace(line.text, kStamp, ""));
    }
    return texts;
  }

  std::optional<PrivateServer> server_;
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
  std::uint64_t seen_ = 0;
};

TEST_F(ExecuteStatementTest, ReportedStatementsWriteTheirOutcome) {
  NewLines();
  EXPECT_TRUE(ExecuteStatement(window_, window_.targetSession(), "drop table if exists t1").ok());
  EXPECT_THAT(NewLines(), IsEmpty());
  EXPECT_TRUE(ExecuteStatement(window_, window_.targetSession(),
                               "create table t1 (id int primary key)", Report::Outcome)
                  .ok());
  EXPECT_THAT(NewLines(), ElementsAre("RESULT: The operation completed SUCCESSFULLY"));

  // A query is accepted without reading its rows and without a line.
  EXPECT_TRUE(
      ExecuteStatement(window_, window_.targetSession(), "show create table t1;", Report::Outcome)
          .ok());
  EXPECT_THAT(NewLines(), IsEmpty());

  EXPECT_FALSE(ExecuteStatement(window_, window_.targetSession(), "insert into nope values (1)",
                                Report::Outcome)
                   .ok());
  const std::vector<LogLine> lines = window_.output().lines();
  EXPECT_THAT(lines.back().text, HasSubstr("Table 'tablift_statements.nope' doesn't exist"));
  EXPECT_EQ(lines.back().textColour, kProviderOrange);
  NewLines();

  EXPECT_FALSE(
      ExecuteStatement(window_, window_.targetSession(), "insert into nope values (1)").ok());
  EXPECT_THAT(NewLines(), IsEmpty());
}

TEST_F(ExecuteStatementTest, AMissingSessionIsReportedEvenWhenQuiet) {
  NewLines();
  EXPECT_FALSE(ExecuteStatement(window_, nullptr, "select 1").ok());
  EXPECT_FALSE(
      ExecuteStatement(window_, window_.sourceSession(), "select 1", Report::Outcome).ok());
  EXPECT_THAT(NewLines(), ElementsAre("No Connection!", "No Connection!"));
  EXPECT_EQ(window_.output().lastLine().textColour, kErrorRed);
}

TEST_F(ExecuteStatementTest, AnUnsendableCharacterFailsTheStatementWithItsName) {
  NewLines();
  EXPECT_FALSE(
      ExecuteStatement(window_, window_.targetSession(), "select '\xE2\x84\xA6'", Report::Outcome)
          .ok());
  EXPECT_THAT(
      NewLines(),
      ElementsAre("Character '\xE2\x84\xA6' (U+2126) cannot be sent in character set latin1"));
}

}  // namespace
}  // namespace tablift::test
