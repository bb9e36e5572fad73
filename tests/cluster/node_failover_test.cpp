// A node of a three-node Galera cluster killed with SIGKILL in the middle of
// a table, while `migrate --server h1,h2,h3` works on it: the migration goes
// on through the next node as a resumed one and every row arrives once on
// the survivors. The test runs a cluster of its own, since it kills a node.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/private_server.h"
#include "tests/support/run_program.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

using ::testing::HasSubstr;

// More than ten write sets of wsrep_max_ws_rows=20000: the big table
// arrives in committed pieces, so the kill finds some on the other nodes.
constexpr long long kRows = 300000;

// The cluster's state directory beside the tests' server's, in the build tree:
// the nodes run as user mysql, which cannot enter a private temporary folder.
std::filesystem::path ClusterFolder() {
  const char* server = std::getenv("TABLIFT_MARIADB_DIR");
  return std::filesystem::path(server != nullptr ? server : "/tmp/tablift-test-mariadb")
             .parent_path() /
         "test-galera-failover";
}

std::filesystem::path GaleraScript() {
  const char* source = std::getenv("TABLIFT_SOURCE_DIR");
  return std::filesystem::path(source != nullptr ? source : ".") / "scripts" / "galera-local";
}

class NodeFailoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kGaleraProvider)) {
      GTEST_SKIP() << "galera-4 is not installed (" << kGaleraProvider
                   << "): there is no cluster to fail over in";
    }
    // A node killed by an earlier run is no node to bootstrap from: the
    // cluster starts from nothing.
    RunProgram({GaleraScript().string(), "stop"}, temp_.path());
    std::filesystem::remove_all(ClusterFolder());
    const ProgramRun started =
        RunProgram({GaleraScript().string(), "start", "--wsrep-max-ws-rows=20000"}, temp_.path());
    ASSERT_EQ(started.exitCode, 0) << started.output;
    nodes_ = PrivateClusterFromEnvironment();
    ASSERT_EQ(nodes_.size(), 3u);
  }
  void TearDown() override {
    if (std::filesystem::exists(kGaleraProvider))
      RunProgram({GaleraScript().string(), "stop"}, temp_.path());
  }

  std::string address(std::size_t node) const {
    return nodes_[node].host + ":" + std::to_string(nodes_[node].port);
  }
  std::vector<std::string> withServer(std::vector<std::string> arguments,
                                      const std::string& server) const {
    arguments.insert(arguments.begin(), TABLIFT_CLI_PROGRAM);
    arguments.insert(arguments.end(), {"--server", server, "--user", nodes_[0].user, "--password",
                                       nodes_[0].password});
    return arguments;
  }
  // The sample database with kRows orders.
  void writeSample(const std::filesystem::path& mdb) {
    const ProgramRun sampled =
        RunProgram({TABLIFT_CLI_PROGRAM, "sample", mdb.string(), "--rows", std::to_string(kRows)},
                   temp_.path());
    ASSERT_EQ(sampled.exitCode, 0) << sampled.output;
  }
  // Kills node `number` (1 to 3) with SIGKILL.
  void killNode(int number) {
    std::ifstream pidFile(ClusterFolder() / ("node" + std::to_string(number)) / "mariadbd.pid");
    pid_t nodePid = 0;
    pidFile >> nodePid;
    ASSERT_GT(nodePid, 0);
    ASSERT_EQ(kill(nodePid, SIGKILL), 0);
  }
  // Waits, at most three minutes, until the migration has committed rows of
  // [Order] on `node`; how many.
  long long committedOrders(Workbench& node) {
    long long rows = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (rows <= 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      // Counted only once the table exists: a failing query fails the test.
      if (count(node,
                "select count(*) from information_schema.tables where table_schema = "
                "'failover' and table_name = 'Order'") == 1) {
        rows = count(node, "select count(*) from failover.`Order`");
      }
    }
    return rows;
  }
  std::string runLog(const std::filesystem::path& output) {
    std::ifstream text(output);
    return std::string((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
  }
  // The first value of a query on a node that survives; -1 without one.
  long long count(Workbench& node, const std::string& sql) {
    const std::vector<std::string> values = QueryColumn(node, sql);
    return values.empty() ? -1 : std::stoll(values.front());
  }

  ScopedTempDir temp_;
  ScopedEnvironment home_{"TABLIFT_HOME", temp_.path().string()};
  ScopedEnvironment cluster_{"TABLIFT_GALERA_DIR", ClusterFolder().string()};
  std::vector<PrivateServer> nodes_;
  ScriptedPrompter prompter_;
};

TEST_F(NodeFailoverTest, NodeKilledMidTableLeavesEveryRowOnceOnTheSurvivors) {
  const std::filesystem::path mdb = temp_.path() / "shop.mdb";
  ASSERT_NO_FATAL_FAILURE(writeSample(mdb));
  Workbench second(prompter_);
  ASSERT_TRUE(ConnectTarget(second, nodes_[1]));
  ExecuteOrFail(second, "set session wsrep_sync_wait = 1");

  const std::string list = address(0) + "," + address(1) + "," + address(2);
  const std::filesystem::path output = temp_.path() / "migrate.txt";
  const int child = StartProgram(
      withServer({"migrate", mdb.string(), "--database", "failover", "--create"}, list), output);
  ASSERT_GT(child, 0);
  // Node 1 dies once some pieces of [Order] are committed on the cluster.
  const long long before = committedOrders(second);
  killNode(1);
  ASSERT_GT(before, 0) << "no rows of [Order] were committed";

  const int exitCode = WaitForProgram(child);
  const std::string log = runLog(output);
  EXPECT_EQ(exitCode, 0) << log;
  EXPECT_THAT(log, HasSubstr("The node " + address(0) + " is lost: the migration continues on " +
                             address(1)));
  EXPECT_THAT(log, HasSubstr("[Categories] skipped: already holds all its 8 rows"));
  if (before < kRows) {
    EXPECT_THAT(log, HasSubstr("[Order] continued after key [OrderId] = "));
  }

  for (const char* table : {"`Order`", "`Order Details`"}) {
    EXPECT_EQ(count(second, std::string("select count(*) from failover.") + table), kRows) << table;
  }
  EXPECT_EQ(count(second, "select count(distinct OrderId) from failover.`Order`"), kRows);
  const ProgramRun verified = RunProgram(
      withServer({"verify", mdb.string(), "--database", "failover"}, address(1) + "," + address(2)),
      temp_.path());
  EXPECT_EQ(verified.exitCode, 0) << verified.output;
  EXPECT_THAT(verified.output, HasSubstr("2 of 2 nodes identical"));
}

// The node worked on loses its cluster's majority in the middle of a table
// (the two others are killed) and gets it back: the commits it refused in
// between are not rows lost, and the migration goes on with them once the
// node takes writes again.
TEST_F(NodeFailoverTest, NodeOutOfThePrimaryComponentMidTableStillGetsEveryRowOnce) {
  const std::filesystem::path mdb = temp_.path() / "shop.mdb";
  ASSERT_NO_FATAL_FAILURE(writeSample(mdb));
  Workbench first(prompter_);
  ASSERT_TRUE(ConnectTarget(first, nodes_[0]));

  const std::filesystem::path output = temp_.path() / "migrate.txt";
  const int child = StartProgram(
      withServer({"migrate", mdb.string(), "--database", "failover", "--create"}, address(0)),
      output);
  ASSERT_GT(child, 0);
  ASSERT_GT(committedOrders(first), 0) << "no rows of [Order] were committed";
  killNode(2);
  killNode(3);
  // Alone, node 1 leaves the primary component once it counts the others
  // gone; then it is made a primary component of its own.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (QueryColumn(first,
                     "select variable_value from information_schema.global_status where "
                     "variable_name = 'WSREP_CLUSTER_STATUS'") !=
             std::vector<std::string>{"non-Primary"} &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ExecuteOrFail(first, "set global wsrep_provider_options = 'pc.bootstrap=YES'");

  const int exitCode = WaitForProgram(child);
  const std::string log = runLog(output);
  EXPECT_EQ(exitCode, 0) << log;
  for (const char* table : {"`Order`", "`Order Details`"}) {
    EXPECT_EQ(count(first, std::string("select count(*) from failover.") + table), kRows) << table;
  }
  EXPECT_EQ(count(first, "select count(distinct OrderId) from failover.`Order`"), kRows);
}

}  // namespace
}  // namespace tablift::test
