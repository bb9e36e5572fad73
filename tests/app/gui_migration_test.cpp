#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <thread>

#include "access/sample_database.h"
#include "access/source_tables.h"
#include "engine/connect_side.h"
#include "engine/list_catalog.h"
#include "engine/target_settings.h"
#include "engine/use_database.h"
#include "engine/workbench.h"
#include "migration/table_verification.h"
#include "tests/app/window_fixture.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"
#include "ui/command_ids.h"

// The whole way a user goes in the desktop program: both sides connected
// from their profiles, a source table and a target database picked in the
// trees, Migrate pressed; the controller runs the task against the private
// server while the window keeps handling events, and the rows arrive.
namespace tablift::test {
namespace {

using namespace std::chrono_literals;

class GuiMigrationTest : public WindowTest {
 protected:
  // Both profiles filled as the configuration dialog hands them over, then
  // Connect from the menu.
  void ConnectFromTheWindow(const std::filesystem::path& mdb, const PrivateServer& server) {
    Workbench& bench = window.workbench();
    bench.sourceProfile() = {"Microsoft Jet 4.0 OLE DB Provider",
                             "Microsoft.Jet.OLEDB.4.0",
                             mdb.string(),
                             "",
                             "Admin",
                             ""};
    bench.targetProfile() = {
        "TCP/IP:Port", "MSDASQL",      server.host + ":" + std::to_string(server.port), "",
        server.user,   server.password};
    window.commandAction(kCmdConnect)->trigger();
    ASSERT_NE(bench.sourceSession(), nullptr);
    ASSERT_NE(bench.targetSession(), nullptr);
  }
};

TEST_F(GuiMigrationTest, MigrateInTheWindowMovesATableIntoTheServer) {
  const auto server = PrivateServerFromEnvironment();
  ASSERT_TRUE(server) << "the private server is not running";
  Workbench& bench = window.workbench();
  const auto mdb = home.path() / "gui_shop.mdb";
  SampleSummary summary;
  ASSERT_TRUE(WriteSampleDatabase(mdb, 50, summary).ok());
  ConnectFromTheWindow(mdb, *server);
  if (HasFatalFailure()) return;
  ScratchDatabase database(bench, "gui_migration");
  ListCatalog(bench, bench.targetTree());
  QCoreApplication::processEvents();

  const std::string sourceDatabase = (home.path() / "gui_shop").string();
  Click(window.sourceTreeView(), {{NodeKind::Root, mdb.string()},
                                  {NodeKind::Database, sourceDatabase},
                                  {NodeKind::TablesFolder, "Tables"},
                                  {NodeKind::Table, "Employees"}});
  Click(window.targetTreeView(),
        {{NodeKind::Root, "DATABASES"}, {NodeKind::Database, database.name()}});
  window.commandAction(kCmdToolMigrate)->trigger();
  const auto tasks = bench.tasks().snapshot();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0]->type(), ConvertTable);

  for (int i = 0; i < 600 && bench.runState().load() != RunState::Idle; ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_EQ(bench.runState().load(), RunState::Idle);
  EXPECT_EQ(tasks[0]->stateText(), kStateSuccess);
  EXPECT_EQ(QueryColumn(bench, "select count(*) from `" + database.name() + "`.Employees"),
            std::vector<std::string>{"9"});

  // Backup of the database it went into, into a folder the user picks.
  Click(window.targetTreeView(),
        {{NodeKind::Root, "DATABASES"}, {NodeKind::Database, database.name()}});
  prompter.queueChoice((home.path() / "saved").string());
  window.commandAction(kCmdToolBackup)->trigger();
  const auto withBackup = bench.tasks().snapshot();
  ASSERT_EQ(withBackup.size(), 2u);
  EXPECT_EQ(withBackup[1]->category(), kBackupCategory);
  for (int i = 0; i < 600 && bench.runState().load() != RunState::Idle; ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(withBackup[1]->stateText(), kStateSuccess);
  const auto saved = home.path() / "saved" / database.name();
  EXPECT_TRUE(std::filesystem::exists(saved / "TABLES" / "Employees.tbl"));
  EXPECT_TRUE(std::filesystem::exists(saved / "DATA" / "Employees.data"));
}

// Northwind as a new user moves it in the window, with a fresh settings
// folder: the whole database into an existing one, then every table compared
// with its Access original, "Order Details" and "Umsätze" included. The
// window's own defaults keep the relationships and the non-Latin text.
TEST_F(GuiMigrationTest, NorthwindArrivesWholeFromTheWindow) {
  const auto server = PrivateServerFromEnvironment();
  ASSERT_TRUE(server) << "the private server is not running";
  const auto fixtures = FixturesDirectory();
  if (!fixtures) GTEST_SKIP() << "no fixtures";
  Workbench& bench = window.workbench();
  const auto mdb = home.path() / "northwind.mdb";
  std::filesystem::copy_file(*fixtures / "northwind-jet3.mdb", mdb);
  ConnectFromTheWindow(mdb, *server);
  if (HasFatalFailure()) return;
  EXPECT_EQ(bench.targetTree().storageEngine(), "InnoDB");
  EXPECT_EQ(bench.charset(), "UTF8MB4");
  EXPECT_EQ(bench.targetSession()->clientCharset(), "utf8mb4");
  ScratchDatabase database(bench, "gui_northwind");
  ListCatalog(bench, bench.targetTree());
  QCoreApplication::processEvents();

  const std::string sourceDatabase = (home.path() / "northwind").string();
  Click(window.sourceTreeView(),
        {{NodeKind::Root, mdb.string()}, {NodeKind::Database, sourceDatabase}});
  Click(window.targetTreeView(),
        {{NodeKind::Root, "DATABASES"}, {NodeKind::Database, database.name()}});
  window.commandAction(kCmdToolMigrate)->trigger();
  const auto tasks = bench.tasks().snapshot();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0]->type(), ConvertDatabase);
  for (int i = 0; i < 1200 && bench.runState().load() != RunState::Idle; ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_EQ(bench.runState().load(), RunState::Idle);

  ASSERT_TRUE(UseDatabase(bench, database.name(), kTargetSide));
  const Result<std::vector<std::string>> listed = ListSourceTables(bench.sourceSession(), "");
  ASSERT_TRUE(listed.ok()) << listed.message();
  const std::vector<std::string>& tables = listed.value();
  EXPECT_EQ(tables.size(), 9u);
  EXPECT_THAT(tables, ::testing::IsSupersetOf({"Order Details", "Ums\xC3\xA4tze"}));
  for (const std::string& table : tables) {
    const TableVerification verified =
        VerifyTable(bench, bench.sourceSession(), bench.targetSession(), sourceDatabase, table);
    EXPECT_TRUE(verified.matches()) << table << ": " << verified.error << " " << verified.sourceRows
                                    << "/" << verified.targetRows;
  }
  // Every saved query becomes a view or a procedure: no error line at all.
  std::vector<std::string> failures;
  for (const LogLine& line : bench.output().lines()) {
    if (line.textColour == kErrorRed) failures.push_back(line.text.substr(LogTimestamp().size()));
  }
  EXPECT_THAT(failures, ::testing::IsEmpty());
  // The window's own defaults (InnoDB) keep every relationship.
  EXPECT_THAT(QueryColumn(bench,
                          "select count(*) from information_schema.referential_constraints "
                          "where constraint_schema = '" +
                              database.name() + "'"),
              ::testing::ElementsAre("7"));
  EXPECT_EQ(tasks[0]->stateText(), kStateSuccess);
}

}  // namespace
}  // namespace tablift::test
