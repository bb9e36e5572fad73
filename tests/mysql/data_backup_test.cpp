#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/scripted_prompter.h"
#include "engine/use_database.h"
#include "mysql/catalog_statements.h"
#include "mysql/data_backup.h"
#include "mysql/execute_statement.h"
#include "mysql/script_header.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using test::ExecuteOrFail;
using test::QueryColumn;

// The row lines of a script, after the character set line every script
// starts with.
std::vector<std::string> FileLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first + "\n", kScriptCharsetLine) << path;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The log lines without their time stamps.
std::vector<std::string> LogTexts(Workbench& window) {
  std::vector<std::string> texts;
  for (const LogLine& line : window.output().lines())
    texts.push_back(line.text.substr(24));
  return texts;
}

class DataBackupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto server = test::PrivateServerFromEnvironment();
    ASSERT_TRUE(server) << "the private server is not running";
    ASSERT_TRUE(test::ConnectTarget(window, *server));
    database.emplace(window, "tl_backup");
    ASSERT_TRUE(UseDatabase(window, database->name(), kTargetSide));
  }

  Session* session() { return window.targetConnection().openSession(); }

  ScriptedPrompter prompter;
  Workbench window{prompter};
  std::optional<test::ScratchDatabase> database;
  test::ScopedTempDir directory;
};

TEST_F(DataBackupTest, ScriptReplaysIntoAFreshTableExactly) {
  ExecuteOrFail(window,
                "create table `Order` (id int primary key, name varchar(100), note text, "
                "data blob, made datetime, price decimal(12,4), ratio double, flag bit(1)) "
                "default charset=latin1");
  ExecuteOrFail(window,
                "insert into `Order` values "
                "(1, 'O''Brien \\\\ \"quoted\"', 'line one\\nline two\\r\\n\\ttab', "
                "x'0000ABCD00', '2024-02-29 13:45:07', 12345678.1234, 0.1, b'1'), "
                "(2, NULL, '', x'', NULL, NULL, NULL, NULL), "
                "(3, 'Müller Ærø ß', concat('nul', char(0), 'byte', char(26)), x'00', "
                "'1999-12-31 23:59:59', -0.0001, 1.7976931348623157e308, b'0')");

  EXPECT_EQ(BackupTableData(window, session(), "Order", directory.path()), BackupOutcome::Written);
  const auto lines = FileLines(directory.path() / "Order.data");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "insert into `Order` values (2,NULL,'',X'',NULL,NULL,NULL,NULL);");
  EXPECT_NE(lines[0].find("X'0000ABCD00'"), std::string::npos) << lines[0];
  EXPECT_EQ(LogTexts(window).back(), "[Order]       3 records backed up!!!");

  // Replay into a copy of the table and compare everything.
  const std::string definition = ShowCreateTable(window, session(), "Order");
  ExecuteOrFail(window, "rename table `Order` to original");
  ExecuteOrFail(window, definition);
  for (const std::string& line : lines)
    ExecuteOrFail(window, line);
  const std::string compare =
      "select count(*) from original o join `Order` c on o.id = c.id and o.name <=> c.name and "
      "o.note <=> c.note and o.data <=> c.data and o.made <=> c.made and o.price <=> c.price "
      "and o.ratio <=> c.ratio and o.flag <=> c.flag";
  EXPECT_EQ(QueryColumn(window, compare), (std::vector<std::string>{"3"}));
  EXPECT_EQ(QueryColumn(window, "select hex(data) from `Order` order by id"),
            (std::vector<std::string>{"0000ABCD00", "", "00"}));
}

TEST_F(DataBackupTest, ProgressEveryThousandRowsAndFinalCount) {
  ExecuteOrFail(window, "create table many (id int)");
  ExecuteOrFail(window,
                "insert into many select seq from seq_1_to_2500");  // MariaDB's sequence engine
  EXPECT_EQ(BackupTableData(window, session(), "many", directory.path()), BackupOutcome::Written);
  EXPECT_EQ(FileLines(directory.path() / "many.data").size(), 2500u);
  const auto texts = LogTexts(window);
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(texts.end() - 4, texts.end()),
            (std::vector<std::string>{
                "RESULT: The operation completed SUCCESSFULLY", "[many] 1000 records backed up!",
                "[many] 2000 records backed up!", "[many]    2500 records backed up!!!"}));
}

TEST_F(DataBackupTest, EmptyTableStopRequestAndFailures) {
  ExecuteOrFail(window, "create table empty_one (id int)");
  ExecuteOrFail(window, "create table `a/b..` (id int)");
  ExecuteOrFail(window, "insert into `a/b..` values (1), (2), (3)");

  EXPECT_EQ(BackupTableData(window, session(), "empty_one", directory.path()),
            BackupOutcome::Written);
  EXPECT_TRUE(std::filesystem::exists(directory.path() / "empty_one.data"));
  EXPECT_TRUE(FileLines(directory.path() / "empty_one.data").empty());
  EXPECT_EQ(LogTexts(window).back(), "[empty_one]       0 records backed up!!!");

  // A stop request ends the backup after the current row, with a valid file.
  window.runState() = RunState::StopRequested;
  EXPECT_EQ(BackupTableData(window, session(), "a/b..", directory.path()), BackupOutcome::Stopped);
  window.runState() = RunState::Idle;
  EXPECT_EQ(FileLines(directory.path() / "a_b...data"),
            (std::vector<std::string>{"insert into `a/b..` values (1);"}));
  const auto texts = LogTexts(window);
  EXPECT_EQ(texts[texts.size() - 2], "Data Converting Terminated!");
  EXPECT_EQ(texts.back(), "[a/b..]       1 records backed up!!!");

  // A missing table gives the server's text and leaves no file.
  const std::string missing = BackupTableData(window, session(), "nope", directory.path()).reason;
  EXPECT_NE(missing.find("doesn't exist"), std::string::npos) << missing;
  EXPECT_FALSE(std::filesystem::exists(directory.path() / "nope.data"));

  EXPECT_EQ(BackupTableData(window, nullptr, "empty_one", directory.path()), BackupOutcome::Failed);
  EXPECT_NE(window.output().lastLine().text.find("No Source Connection!"), std::string::npos);
}

TEST_F(DataBackupTest, UnwritableDirectoryIsAFailureNotASuccess) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  ExecuteOrFail(window, "create table t (id int)");
  std::filesystem::permissions(
      directory.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const DataBackup result = BackupTableData(window, session(), "t", directory.path());
  std::filesystem::permissions(directory.path(), std::filesystem::perms::owner_all);
  EXPECT_NE(result, BackupOutcome::Written);
  EXPECT_TRUE(window.output().lastLine().hasRecord);
}

// A table with a key of whole numbers or decimals is read in pieces after the
// last key read: the file holds every row once, in key order, whatever the
// piece size; a stop between pieces ends the backup; a key of text is read
// whole. No transaction is left open.
TEST_F(DataBackupTest, PiecesFollowThePrimaryKey) {
  ExecuteOrFail(window,
                "create table pieces (a int, b decimal(6,2), v varchar(10), primary key (a, b))");
  ExecuteOrFail(window,
                "insert into pieces select seq % 4, seq / 10, if(seq % 3 = 0, null, "
                "concat('v', seq)) from seq_1_to_27");
  ExecuteOrFail(window, "create table texts (k varchar(5) primary key, n int)");
  ExecuteOrFail(window, "insert into texts select concat('k', seq), seq from seq_1_to_9");

  EXPECT_EQ(BackupTableData(window, session(), "pieces", directory.path(), 0),
            BackupOutcome::Written);
  const auto whole = FileLines(directory.path() / "pieces.data");
  ASSERT_EQ(whole.size(), 27u);
  for (const std::size_t piece : {1u, 4u, 9u, 27u, 100u}) {
    SCOPED_TRACE(piece);
    EXPECT_EQ(BackupTableData(window, session(), "pieces", directory.path(), piece),
              BackupOutcome::Written);
    auto lines = FileLines(directory.path() / "pieces.data");
    EXPECT_EQ(lines.front(), "insert into `pieces` values (0,0.40,'v4');");
    EXPECT_EQ(lines.back(), "insert into `pieces` values (3,2.70,NULL);");
    auto sortedWhole = whole;
    std::sort(lines.begin(), lines.end());
    std::sort(sortedWhole.begin(), sortedWhole.end());
    EXPECT_EQ(lines, sortedWhole);
  }
  EXPECT_EQ(QueryColumn(window, "select @@in_transaction"), (std::vector<std::string>{"0"}));

  window.runState() = RunState::StopRequested;
  EXPECT_EQ(BackupTableData(window, session(), "pieces", directory.path(), 4),
            BackupOutcome::Stopped);
  window.runState() = RunState::Idle;
  EXPECT_EQ(FileLines(directory.path() / "pieces.data").size(), 1u);

  EXPECT_EQ(BackupTableData(window, session(), "texts", directory.path(), 2),
            BackupOutcome::Written);
  EXPECT_EQ(FileLines(directory.path() / "texts.data").size(), 9u);
  EXPECT_EQ(QueryColumn(window, "select @@in_transaction"), (std::vector<std::string>{"0"}));
}

}  // namespace
}  // namespace tablift
