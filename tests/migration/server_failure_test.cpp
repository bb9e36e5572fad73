// The server going away in the middle of a migration: the task fails with
// the server's reason, the controller ends, nothing hangs, and once the
// server is back the same task into a clean database moves every row. The
// server here is one of the test's own, so that killing it disturbs no other
// test.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/connect_side.h"
#include "engine/use_database.h"
#include "migration/table_verification.h"
#include "tests/migration/migration_fixture.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;
using ::testing::Not;

class ServerFailureTest : public MigrationTest {
 protected:
  void SetUp() override {
    MigrationTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    const char* sourceDir = std::getenv("TABLIFT_SOURCE_DIR");
    ASSERT_NE(sourceDir, nullptr);
    script_ = fs::path(sourceDir) / "scripts" / "mariadb-local";
    state_ = temp_.path() / "own-server";
    ASSERT_TRUE(runScript("start")) << "the test's own server did not start";
    own_ = PrivateServerFromEnvFile(state_ / "env");
    ASSERT_TRUE(own_.has_value());
    server_ = own_;  // everything below goes to the test's own server
  }

  void TearDown() override {
    MigrationTest::TearDown();
    if (!state_.empty()) runScript("stop");
  }

  bool runScript(const std::string& command) {
    const std::string line = "TABLIFT_MARIADB_DIR='" + state_.string() + "' '" + script_.string() +
                             "' " + command + " > '" + (temp_.path() / "server.log").string() +
                             "' 2>&1";
    return std::system(line.c_str()) == 0;
  }

  // The server dies as a crash or the kernel's OOM killer would end it.
  void killServer() {
    std::ifstream pidFile(state_ / "mariadbd.pid");
    pid_t pid = 0;
    pidFile >> pid;
    if (pid > 0) kill(pid, SIGKILL);
  }

  fs::path script_;
  fs::path state_;
  std::optional<PrivateServer> own_;
};

TEST_F(ServerFailureTest, KilledDuringRowsFailsTheTaskAndARerunMovesEverything) {
  const fs::path mdb = writeSample(20000);
  connect(mdb, "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string first = createTargetDatabase("killed");

  std::atomic<bool> killed = false;
  log_.setWatcher([&](const std::string& line) {
    if (line.find(" records converted!") == std::string::npos || killed.exchange(true)) return;
    killServer();
  });
  const TaskPtr task = migrate("Tables", "Order", first);
  log_.setWatcher({});
  ASSERT_NE(task, nullptr);
  ASSERT_TRUE(killed.load()) << "the rows were never under way";
  EXPECT_EQ(window_.runState().load(), RunState::Idle);
  EXPECT_EQ(task->stateText(), kStateFailure);
  // The server's own reason is in the log.
  bool reason = false;
  for (const std::string& line : logTexts()) {
    reason = reason || line.find("gone away") != std::string::npos ||
             line.find("Lost connection") != std::string::npos ||
             line.find("Can't connect") != std::string::npos;
  }
  EXPECT_TRUE(reason) << "no line gives the server's reason";

  // Back again: Connect, and the same task into a clean database.
  ASSERT_TRUE(runScript("start"));
  own_ = PrivateServerFromEnvFile(state_ / "env");
  ASSERT_TRUE(own_.has_value());
  server_ = own_;
  connect(mdb, "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string second = createTargetDatabase("rerun");
  const TaskPtr rerun = migrate("Tables", "Order", second);
  ASSERT_NE(rerun, nullptr);
  EXPECT_EQ(rerun->stateText(), kStateSuccess);
  ASSERT_TRUE(UseDatabase(window_, second, Workbench::kTargetSide));
  const TableVerification verified = VerifyTable(
      window_, window_.sourceSession(), window_.targetSession(), sourceDatabase(), "Order");
  EXPECT_TRUE(verified.matches()) << verified.error << " source " << verified.sourceRows
                                  << " target " << verified.targetRows;
  EXPECT_EQ(verified.sourceRows, 20000u);
}

TEST_F(ServerFailureTest, RefusedConnectionsEndWithTheirMessages) {
  ASSERT_TRUE(own_.has_value());
  // A wrong password, then a port nobody listens on (the server stopped).
  PrivateServer wrong = *own_;
  wrong.password += "-not-it";
  ConnectionProfile& target = window_.targetProfile();
  target = {"TCP/IP:Port", "MSDASQL",     wrong.host + ":" + std::to_string(wrong.port), "",
            wrong.user,    wrong.password};
  tablift::ConnectTarget(window_);
  EXPECT_EQ(window_.targetSession(), nullptr);
  EXPECT_THAT(prompter_.texts(ScriptedPrompter::Kind::Message),
              ::testing::Contains("Target Connection error!"));

  ASSERT_TRUE(runScript("stop"));
  target.password = own_->password;
  tablift::ConnectTarget(window_);
  EXPECT_EQ(window_.targetSession(), nullptr);
  EXPECT_THAT(prompter_.texts(ScriptedPrompter::Kind::Message), Not(IsEmpty()));
  state_.clear();  // stopped already
}

}  // namespace
}  // namespace tablift::test
