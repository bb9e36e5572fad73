// "Change Charset" and the storage engine toggle against the private server.
#include "engine/target_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/connection_profile.h"
#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/target_connection.h"

namespace tablift {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Kind = ScriptedPrompter::Kind;

class TargetSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = test::PrivateServerFromEnvironment();
    ASSERT_TRUE(server_) << "the private server is not running";
    ASSERT_TRUE(test::ConnectTarget(window, *server_));
    window.targetTree().setDbmsKind(kDbmsMySql);
  }

  std::vector<std::string> variables() {
    return test::QueryColumn(
        window,
        "select concat_ws(',', @@character_set_client, @@character_set_connection, "
        "@@character_set_database, @@character_set_results, @@character_set_server)");
  }

  std::vector<std::string> texts() {
    std::vector<std::string> texts;
    for (const LogLine& line : window.output().lines())
      texts.push_back(line.text);
    return texts;
  }

  std::optional<test::PrivateServer> server_;
  ScriptedPrompter prompter;
  Workbench window{prompter};
};

TEST_F(TargetSettingsTest, TheFiveStatementsSetTheServerAndTheSessionAlike) {
  ASSERT_TRUE(ChangeCharset(window, "CP850"));
  EXPECT_EQ(window.charset(), "CP850");
  EXPECT_EQ(window.targetSession()->clientCharset(), "cp850");
  EXPECT_THAT(variables(), ElementsAre("cp850,cp850,cp850,cp850,cp850"));
  int outcomes = 0;
  for (const std::string& line : texts())
    outcomes += line.find("RESULT: The operation completed SUCCESSFULLY") != std::string::npos;
  EXPECT_EQ(outcomes, 5);

  // Text beyond Latin-1 now travels both ways in the chosen set.
  ASSERT_TRUE(ChangeCharset(window, "UTF8"));
  EXPECT_THAT(variables(), ElementsAre("utf8mb3,utf8mb3,utf8mb3,utf8mb3,utf8mb3"));
  EXPECT_THAT(test::QueryColumn(window, "select hex('\xCE\xA9\xD0\x96'), '\xCE\xA9\xD0\x96'"),
              ElementsAre("CEA9D096"));
  EXPECT_THAT(test::QueryColumn(window, "select '\xE6\x9D\xB1\xCE\xA9'"),
              ElementsAre("\xE6\x9D\xB1\xCE\xA9"));
}

TEST_F(TargetSettingsTest, ASetTheSessionCannotSpeakIsRefusedAndChangesNothing) {
  ASSERT_TRUE(ChangeCharset(window, "UTF8MB4"));
  const std::size_t before = window.output().size();
  EXPECT_FALSE(ChangeCharset(window, "UCS2"));
  EXPECT_EQ(window.charset(), "UTF8MB4");
  EXPECT_EQ(window.targetSession()->clientCharset(), "utf8mb4");
  EXPECT_THAT(variables(), ElementsAre("utf8mb4,utf8mb4,utf8mb4,utf8mb4,utf8mb4"));
  ASSERT_EQ(window.output().size(), before + 1);
  EXPECT_THAT(texts().back(), HasSubstr("ucs2 is not supported"));
  EXPECT_THAT(test::QueryColumn(window, "select '\xF0\x9F\x98\x80'"),
              ElementsAre("\xF0\x9F\x98\x80"));
}

TEST_F(TargetSettingsTest, OnlyAnIdleMySqlTreeChangesItsCharset) {
  window.targetTree().setDbmsKind(kDbmsAccess);
  EXPECT_FALSE(ChangeCharset(window, "UTF8"));
  window.targetTree().setDbmsKind(kDbmsMySql);
  window.runState().store(RunState::StopRequested);
  EXPECT_FALSE(ChangeCharset(window, "UTF8"));
  window.runState().store(RunState::Idle);
  EXPECT_THAT(prompter.texts(Kind::Message),
              ElementsAre("Some Tasks is Stopping, Please try again later!!!"));
  EXPECT_EQ(window.charset(), "LATIN1");
  EXPECT_EQ(window.targetSession()->clientCharset(), "latin1");
}

TEST_F(TargetSettingsTest, WithoutASessionEveryStatementSaysSo) {
  ScriptedPrompter alone;
  Workbench unconnected(alone);
  unconnected.targetTree().setDbmsKind(kDbmsMySql);
  EXPECT_TRUE(ChangeCharset(unconnected, "HP8"));
  EXPECT_EQ(unconnected.charset(), "HP8");
  int missing = 0;
  for (const LogLine& line : unconnected.output().lines())
    missing += line.text.find("No Connection!") != std::string::npos;
  EXPECT_EQ(missing, 5);
}

TEST_F(TargetSettingsTest, TheEngineToggleFlipsTheEnginesOwnChoice) {
  EXPECT_EQ(window.targetTree().storageEngine(), "MyISAM");
  EXPECT_EQ(StorageEngineMenuText(window.targetTree().storageEngine()),
            "Change Storage Engine(MyISAM)");
  EXPECT_EQ(ToggleStorageEngine(window), "InnoDB");
  EXPECT_EQ(window.targetTree().storageEngine(), "InnoDB");
  EXPECT_EQ(StorageEngineMenuText("InnoDB"), "Change Storage Engine(InnoDB)");
  EXPECT_EQ(ToggleStorageEngine(window), "MyISAM");
  EXPECT_EQ(window.targetTree().storageEngine(), "MyISAM");
  EXPECT_THAT(prompter.texts(Kind::Message), ElementsAre("Now Storage Engine of MySQL is InnoDB!",
                                                         "Now Storage Engine of MySQL is MyISAM!"));
}

}  // namespace
}  // namespace tablift
