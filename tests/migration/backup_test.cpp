// Backups of a migrated database into script files, judged by replaying the
// files into a fresh database on the private server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "engine/list_catalog.h"
#include "engine/queue_backup.h"
#include "mysql/execute_statement.h"
#include "mysql/script_header.h"
#include "tests/migration/migration_fixture.h"
#include "tests/support/run_program.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class BackupTest : public MigrationTest {
 protected:
  // "" when the statement was accepted, else the server's reason.
  std::string run(const std::string& sql) {
    std::string failure;
    if (Accepted(ExecuteStatement(window_, window_.targetSession(), sql), &failure)) return {};
    return failure.empty() ? "not accepted" : failure;
  }

  void SetUp() override {
    MigrationTest::SetUp();
    if (HasFatalFailure()) return;
    connect(writeSample(60), "", "InnoDB");
    database_ = createTargetDatabase("backup");
    migrate("", "", database_);
    // Values a script must carry exactly: quotes, backslashes, line breaks,
    // SQL fragments, NULLs beside empty texts, every byte of a binary value,
    // text beyond Latin-1.
    ExecuteOrFail(window_, "use `" + database_ + "`");
    ExecuteOrFail(window_,
                  "create table awkward (id int primary key, t text, b blob, n varchar(10), "
                  "d datetime, x decimal(12,4)) engine=InnoDB default charset=utf8mb4");
    ExecuteOrFail(window_,
                  "insert into awkward values "
                  "(1, 'it''s a \\\\ back \"quoted\" \\r\\n; drop table awkward; --', "
                  "0x00FF27225C0A0D, NULL, '2024-02-29 12:34:56', -12.5), "
                  "(2, 'Gr\xC3\xBC\xC3\x9F"
                  "e \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80', '', '', "
                  "NULL, NULL)");
    ExecuteOrFail(window_, "create view shouting as select 'FRANCE' as Country, id from awkward");
    // As after a double click on the database: its tables and views listed.
    window_.targetTree().setCurrentDatabase(database_);
    ListCatalog(window_, window_.targetTree());
    folder_ = temp_.path() / "backups";
    fs::create_directories(folder_);
  }

  // Selects the target node below the database ("", a folder, or a folder
  // and an object), answers the folder question and runs the Backup command.
  TaskPtr backup(const std::string& folder, const std::string& object, const fs::path& into) {
    std::vector<CatalogStep> path = {{NodeKind::Root, window_.targetTree().nodes().text},
                                     {NodeKind::Database, database_}};
    if (!folder.empty()) {
      const bool tables = folder == "Tables";
      path.push_back({tables ? NodeKind::TablesFolder : NodeKind::ViewsFolder, folder});
      if (!object.empty()) path.push_back({tables ? NodeKind::Table : NodeKind::View, object});
    }
    EXPECT_TRUE(window_.targetTree().select(path)) << folder << "/" << object;
    prompter_.queueChoice(into.string());
    return BackupCommand(window_);
  }

  // Runs a script file with the plain command-line client, as a user
  // restores a backup: `mariadb DATABASE < file`. The client starts in
  // Latin-1, a default that cannot hold every text, so that only the file's
  // own character set line makes 4-byte characters arrive. "" when every
  // statement ran, else what the client said.
  std::string runScript(const std::string& database, const fs::path& file) {
    // The shell only redirects the client's input; every argument is passed
    // on as it is.
    const ProgramRun client =
        RunProgram({"/bin/sh", "-c", "exec mariadb \"$@\" < \"$0\"", file.string(), "--no-defaults",
                    "--default-character-set=latin1", "--protocol=TCP", "-h", server_->host, "-P",
                    std::to_string(server_->port), "-u", server_->user, "-p" + server_->password,
                    "--init-command=set foreign_key_checks = 0", database},
                   temp_.path());
    return client.exitCode == 0 ? std::string() : client.output;
  }

  // Replays table and data scripts into a fresh database; "" when every
  // file ran, else the first failure.
  std::string replay(const std::string& restored, const fs::path& tablesFolder,
                     const fs::path& dataFolder) {
    ExecuteOrFail(window_, "create database `" + restored + "` default charset utf8mb4");
    dropLater(restored);
    for (const fs::path& folder : {tablesFolder, dataFolder}) {
      for (const std::string& file : FileNames(folder)) {
        const std::string failure = runScript(restored, folder / file);
        if (!failure.empty()) return file + ": " + failure;
      }
    }
    return {};
  }

  // The row count and an order-independent sum over every value of every
  // row, NULL told apart from every text.
  std::string checksum(const std::string& database, const std::string& table) {
    const auto columns = query(
        "select group_concat(concat('coalesce(hex(`', column_name, '`), ''N'')') order by "
        "ordinal_position separator ', ') from information_schema.columns where table_schema = '" +
        database + "' and table_name = '" + table + "'");
    if (columns.empty()) return "";
    const auto rows = query("select concat(count(*), '/', coalesce(sum(crc32(concat_ws('|', " +
                            columns.front() + "))), 0)) from `" + database + "`.`" + table + "`");
    return rows.empty() ? "" : rows.front();
  }

  std::string database_;
  fs::path folder_;
};

TEST_F(BackupTest, DatabaseBackupReplaysIntoAnIdenticalDatabase) {
  // The connection as it starts: Latin-1, which cannot hold the Japanese
  // letters and the emoji of the awkward table.
  ASSERT_TRUE(Succeeded(window_.targetSession()->setClientCharset("latin1")));
  window_.setCharset("LATIN1");
  const TaskPtr task = backup("", "", folder_);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->type(), BackupDatabase);
  EXPECT_EQ(task->category(), kBackupCategory);
  EXPECT_EQ(task->backupScope(), "A");
  waitForController();
  EXPECT_EQ(task->stateText(), kStateSuccess);
  EXPECT_EQ(task->progress(), 100);

  // The user's character set is back once the backup is over.
  EXPECT_THAT(query("select @@character_set_client"), ElementsAre("latin1"));
  ASSERT_TRUE(Succeeded(window_.targetSession()->setClientCharset("utf8mb4")));
  const fs::path base = folder_ / database_;
  std::vector<std::string> tables = targetTables(database_);
  std::vector<std::string> tableFiles;
  std::vector<std::string> dataFiles;
  for (const std::string& table : tables) {
    tableFiles.push_back(table + ".tbl");
    dataFiles.push_back(table + ".data");
  }
  std::sort(tableFiles.begin(), tableFiles.end());
  std::sort(dataFiles.begin(), dataFiles.end());
  EXPECT_EQ(FileNames(base / "TABLES"), tableFiles);
  EXPECT_EQ(FileNames(base / "DATA"), dataFiles);
  std::vector<std::string> viewFiles;
  for (const std::string& view : targetTables(database_, true))
    viewFiles.push_back(view + ".vw");
  std::sort(viewFiles.begin(), viewFiles.end());
  EXPECT_EQ(FileNames(base / "VIEWS"), viewFiles);
  // The table definition is the server's own text.
  EXPECT_THAT(ReadWholeFile(base / "TABLES" / "Customers.tbl"),
              StartsWith(std::string(kScriptCharsetLine) + "CREATE TABLE `Customers`"));

  const std::string restored = UniqueName("restored");
  ASSERT_EQ(replay(restored, base / "TABLES", base / "DATA"), "");
  for (const std::string& table : tables) {
    EXPECT_EQ(checksum(restored, table), checksum(database_, table)) << table;
  }
  EXPECT_THAT(checksum(database_, "awkward"), StartsWith("2/"));
  EXPECT_THAT(query("select hex(b) from `" + restored + "`.awkward where id = 1"),
              ElementsAre("00FF27225C0A0D"));
  EXPECT_THAT(query("select concat(isnull(n), '|', coalesce(n = '', 'N')) from `" + restored +
                    "`.awkward order by id"),
              ElementsAre("1|N", "0|1"));
}

TEST_F(BackupTest, SingleTableAndViewLandInTheChosenFolder) {
  TaskPtr table = backup("Tables", "awkward", folder_);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->type(), BackupObject);
  EXPECT_EQ(table->backupScope(), "T");
  EXPECT_EQ(table->targetObject(), "awkward");
  waitForController();
  EXPECT_EQ(table->stateText(), kStateSuccess);
  EXPECT_TRUE(fs::exists(folder_ / "TABLES" / "awkward.tbl"));
  EXPECT_THAT(ReadWholeFile(folder_ / "DATA" / "awkward.data"),
              StartsWith(std::string(kScriptCharsetLine) + "insert into `awkward` values (1,"));

  TaskPtr view = backup("Views", "shouting", folder_);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->backupScope(), "V");
  waitForController();
  EXPECT_EQ(view->stateText(), kStateSuccess);
  // The server's definition as it is, without the account that made it:
  // string literals and names keep their letter case.
  const std::string saved = ReadWholeFile(folder_ / "VIEWS" / "shouting.vw");
  EXPECT_THAT(saved, StartsWith(std::string(kScriptCharsetLine) +
                                "CREATE VIEW `shouting` AS select 'FRANCE' AS `Country`"));
  EXPECT_EQ(saved.back(), '\n');
  EXPECT_THAT(saved, Not(HasSubstr("DEFINER")));
  EXPECT_THAT(linesWith("Backup View"), Not(IsEmpty()));
  // The file replays.
  const std::string restored = UniqueName("restoredview");
  ASSERT_EQ(replay(restored, folder_ / "TABLES", folder_ / "DATA"), "");
  EXPECT_EQ(runScript(restored, folder_ / "VIEWS" / "shouting.vw"), "");
  EXPECT_THAT(query("select country from `" + restored + "`.shouting order by id"),
              ElementsAre("FRANCE", "FRANCE"));

  // A view the server no longer knows writes nothing and fails the task.
  ExecuteOrFail(window_, "use `" + database_ + "`");
  {
    // The controller waits for the sweep lock until the view is gone.
    std::lock_guard sweep(window_.tasks().lock());
    view = backup("Views", "shouting", folder_ / "later");
    ExecuteOrFail(window_, "drop view `" + database_ + "`.shouting");
  }
  ASSERT_NE(view, nullptr);
  waitForController();
  EXPECT_EQ(view->stateText(), kStateFailure);
  EXPECT_FALSE(fs::exists(folder_ / "later" / "VIEWS" / "shouting.vw"));
  EXPECT_THAT(linesWith("No definition of view"), Not(IsEmpty()));
}

TEST_F(BackupTest, StopEndsADatabaseBackupAfterTheCurrentTable) {
  log_.setWatcher([this](const std::string& line) {
    if (line.find(" records backed up!!!") == std::string::npos) return;
    RunState running = RunState::Running;
    window_.runState().compare_exchange_strong(running, RunState::StopRequested);
  });
  const TaskPtr task = backup("Tables", "", folder_);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->backupScope(), "T");
  waitForController();
  log_.setWatcher({});
  EXPECT_EQ(task->stateText(), kStateStopped);
  EXPECT_THAT(linesWith("Tables Backup Terminated!"), Not(IsEmpty()));
  EXPECT_EQ(FileNames(folder_ / database_ / "TABLES").size(), 1u);
  EXPECT_FALSE(fs::exists(folder_ / database_ / "VIEWS"));
}

TEST_F(BackupTest, RefusalsCancelAndTheChosenFolder) {
  // Nothing selected: explained, nothing queued.
  window_.targetTree().clearSelection();
  EXPECT_EQ(BackupCommand(window_), nullptr);
  EXPECT_THAT(prompter_.texts(ScriptedPrompter::Kind::Hint),
              ElementsAre("Please select a Object in Target Databases Tree to backup!"));
  EXPECT_THAT(prompter_.texts(ScriptedPrompter::Kind::Message),
              ElementsAre("No selected Objects to backup!"));

  const std::size_t queued = window_.tasks().size();
  // Cancelling the folder question queues nothing.
  ASSERT_TRUE(window_.targetTree().select(
      {{NodeKind::Root, window_.targetTree().nodes().text}, {NodeKind::Database, database_}}));
  EXPECT_EQ(BackupCommand(window_), nullptr);
  EXPECT_THAT(prompter_.texts(ScriptedPrompter::Kind::Folder),
              ElementsAre("Please choose your backup directory:"));
  EXPECT_EQ(window_.tasks().size(), queued);

  // The root selected: a folder is asked for, nothing is queued.
  ASSERT_TRUE(window_.targetTree().select({{NodeKind::Root, window_.targetTree().nodes().text}}));
  prompter_.queueChoice(folder_.string());
  EXPECT_EQ(BackupCommand(window_), nullptr);
  EXPECT_EQ(window_.tasks().size(), queued);
  EXPECT_EQ(window_.backupDirectory(), folder_);

  // A root is never written into directly.
  EXPECT_EQ(BackupDirectoryFor("/"), "/Backup.Script");
  EXPECT_EQ(BackupDirectoryFor("C:\\"), "C:\\Backup.Script");
  EXPECT_EQ(BackupDirectoryFor("D:/"), "D:/Backup.Script");
  EXPECT_EQ(BackupDirectoryFor("/ab"), "/ab");
  EXPECT_EQ(BackupDirectoryFor("/srv/backup/"), "/srv/backup/");

  // Without a target connection the command refuses at once.
  ScriptedPrompter prompter;
  Workbench unconnected(prompter);
  EXPECT_EQ(BackupCommand(unconnected), nullptr);
  EXPECT_THAT(prompter.texts(ScriptedPrompter::Kind::Message),
              ElementsAre("No Target DataSource Connection!"));
  EXPECT_THAT(prompter.texts(ScriptedPrompter::Kind::Folder), IsEmpty());
}

}  // namespace
}  // namespace tablift::test
