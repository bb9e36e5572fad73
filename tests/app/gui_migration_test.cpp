#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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
#include "ui/run_summary_dialog.h"

// The whole way a user goes in the desktop program: both sides connected
// from their profiles, a source table and a target database picked in the
// trees, Migrate pressed; the controller runs the task against the private
// server while the window keeps handling events, and the rows arrive.
namespace tablift::test {
namespace {

using namespace std::chrono_literals;

void SaveScreenshot(QWidget& widget, const char* name);

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

  // Every run summary the window shows is kept, as text and as the summary,
  // and saved where `saveAs` says (nowhere when empty); then closed.
  void CollectSummaries(std::filesystem::path saveAs = {}) {
    window.setDialogHook([this, saveAs](QDialog& shown) {
      auto* dialog = dynamic_cast<RunSummaryDialog*>(&shown);
      if (dialog == nullptr) return;
      summaries.push_back(dialog->summary());
      shownTexts.push_back(dialog->shownText().toStdString());
      // The file dialog is a stand-in: a test cannot type into the desktop's.
      dialog->setSavePathChooser(
          [saveAs](QWidget*, const QString&) { return QString::fromStdString(saveAs.string()); });
      QTimer::singleShot(0, dialog, [dialog, saveAs] {
        SaveScreenshot(*dialog, "run-summary.png");
        if (!saveAs.empty()) dialog->saveButton()->click();
        dialog->reject();
      });
    });
  }

  // Runs the queued tasks to their end, and the window's handling of it.
  void WaitForTheRun(int ticks = 1200) {
    for (int i = 0; i < ticks && window.workbench().runState().load() != RunState::Idle; ++i) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(50ms);
    }
    ASSERT_EQ(window.workbench().runState().load(), RunState::Idle);
    for (int i = 0; i < 5; ++i)
      QCoreApplication::processEvents();
  }

  std::vector<RunSummary> summaries;
  std::vector<std::string> shownTexts;
};

// Pictures for the README, taken only when TABLIFT_SCREENSHOT_DIR names a
// folder: the window while a run goes on and the summary after it.
void SaveScreenshot(QWidget& widget, const char* name) {
  const char* folder = std::getenv("TABLIFT_SCREENSHOT_DIR");
  if (folder == nullptr || *folder == 0) return;
  QCoreApplication::processEvents();
  widget.grab().save(QString::fromStdString((std::filesystem::path(folder) / name).string()),
                     "PNG");
}

std::string FileText(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

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
  CollectSummaries();

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
  // The run's end shows its summary: the one table, whole.
  for (int i = 0; i < 200 && summaries.empty(); ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_EQ(summaries.size(), 1u);
  ASSERT_EQ(summaries[0].tables.size(), 1u);
  EXPECT_EQ(summaries[0].tables[0].name, "Employees");
  EXPECT_EQ(summaries[0].tables[0].rowsWritten, 9);
  EXPECT_THAT(summaries[0].target, ::testing::EndsWith("/" + database.name()));

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
  // A run of backups only has nothing to summarise.
  WaitForTheRun();
  EXPECT_EQ(summaries.size(), 1u);

  // A second run's summary holds only its own table, not the first run's.
  ScratchDatabase second(bench, "gui_migration_again");
  ListCatalog(bench, bench.targetTree());
  QCoreApplication::processEvents();
  Click(window.sourceTreeView(), {{NodeKind::Root, mdb.string()},
                                  {NodeKind::Database, sourceDatabase},
                                  {NodeKind::TablesFolder, "Tables"},
                                  {NodeKind::Table, "Employees"}});
  Click(window.targetTreeView(),
        {{NodeKind::Root, "DATABASES"}, {NodeKind::Database, second.name()}});
  window.commandAction(kCmdToolMigrate)->trigger();
  WaitForTheRun();
  for (int i = 0; i < 200 && summaries.size() < 2; ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_EQ(summaries.size(), 2u);
  EXPECT_EQ(summaries[1].tables.size(), 1u);
  EXPECT_THAT(summaries[1].target, ::testing::EndsWith(second.name()));
  window.setDialogHook({});
}

// The target tree offers no system schema as a target, and Refresh (F5)
// shows a database another program made meanwhile.
TEST_F(GuiMigrationTest, TheTargetTreeHidesSystemSchemasAndRefreshes) {
  const auto server = PrivateServerFromEnvironment();
  ASSERT_TRUE(server) << "the private server is not running";
  Workbench& bench = window.workbench();
  const auto mdb = home.path() / "refresh.mdb";
  SampleSummary sample;
  ASSERT_TRUE(WriteSampleDatabase(mdb, 10, sample).ok());
  ConnectFromTheWindow(mdb, *server);
  if (HasFatalFailure()) return;
  // Once connected, About names the driver's own version.
  EXPECT_THAT(window.aboutText().toStdString(),
              ::testing::ContainsRegex("MySQL ODBC driver: [0-9]+\\.[0-9]+"));
  const auto databases = [&] {
    std::vector<std::string> names;
    for (const CatalogNode& node : bench.targetTree().nodes().children)
      names.push_back(node.text);
    return names;
  };
  // The listing ran: the tree has its root, without the system schemas.
  ASSERT_FALSE(bench.targetTree().isEmpty());
  for (const char* system : {"mysql", "sys", "information_schema", "performance_schema"})
    EXPECT_THAT(databases(), ::testing::Not(::testing::Contains(system)));

  ScratchDatabase elsewhere(bench, "gui_refresh");  // made without the tree's knowledge
  EXPECT_THAT(databases(), ::testing::Not(::testing::Contains(elsewhere.name())));
  QAction* refresh = window.commandAction(kCmdRefresh);
  ASSERT_NE(refresh, nullptr);
  EXPECT_EQ(refresh->shortcut(), QKeySequence(Qt::Key_F5));
  refresh->trigger();
  QCoreApplication::processEvents();
  EXPECT_THAT(databases(), ::testing::Contains(elsewhere.name()));
  EXPECT_NE(window.targetTreeView()->itemAtPath(
                {{NodeKind::Root, "DATABASES"}, {NodeKind::Database, elsewhere.name()}}),
            nullptr);
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
  const auto summaryFile = home.path() / "northwind-summary.txt";
  CollectSummaries(summaryFile);

  const std::string sourceDatabase = (home.path() / "northwind").string();
  Click(window.sourceTreeView(),
        {{NodeKind::Root, mdb.string()}, {NodeKind::Database, sourceDatabase}});
  Click(window.targetTreeView(),
        {{NodeKind::Root, "DATABASES"}, {NodeKind::Database, database.name()}});
  window.commandAction(kCmdToolMigrate)->trigger();
  const auto tasks = bench.tasks().snapshot();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0]->type(), ConvertDatabase);
  window.resize(1024, 768);
  window.show();
  window.outputTabs()->setCurrentIndex(kTaskListTab);
  bool pictured = false;
  for (int i = 0; i < 1200 && bench.runState().load() != RunState::Idle; ++i) {
    QCoreApplication::processEvents();
    if (!pictured && tasks[0]->progress() >= 40) {
      window.tick();
      SaveScreenshot(window, "window-during-run.png");
      pictured = true;
    }
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

  // The run's summary showed when it ended, and Save wrote it: every table
  // whole, the relationships made, the command line's lines.
  for (int i = 0; i < 200 && summaries.empty(); ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_EQ(summaries.size(), 1u);
  EXPECT_EQ(summaries[0].tables.size(), 9u);
  EXPECT_EQ(summaries[0].foreignKeys.made, 7);
  const std::string saved = FileText(summaryFile);
  EXPECT_THAT(saved, ::testing::StartsWith("Source: " + mdb.string() + "\n"));
  EXPECT_THAT(saved, ::testing::HasSubstr("Target: "));
  EXPECT_THAT(saved, ::testing::ContainsRegex("\nOrder Details +2155 +2155 +0 "));
  EXPECT_THAT(saved, ::testing::ContainsRegex("\nTotal .* SUCCESS +9 of 9 tables whole\n"));
  EXPECT_THAT(saved, ::testing::HasSubstr("Foreign keys: 7 made, 0 left out\n"));
  EXPECT_THAT(saved, ::testing::HasSubstr("Views: "));
  // What was saved is what was shown.
  EXPECT_THAT(saved, ::testing::EndsWith(shownTexts[0]));
  window.setDialogHook({});
}

}  // namespace
}  // namespace tablift::test
