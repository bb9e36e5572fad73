#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "engine/catalog_tree.h"
#include "engine/output_pane.h"
#include "engine/task_list.h"
#include "engine/workbench.h"
#include "tests/support/private_server.h"
#include "tests/support/test_paths.h"

namespace tablift::test {

// Keeps the text of every log line (without its timestamp) beyond the pane's
// own limit, and lets a test act on a line the moment it is written.
class LogRecorder : public OutputListener {
 public:
  void lineAdded(const LogLine& line) override;
  std::vector<std::string> texts() const;
  // The same with the prefix their colour stands for put back: "E::" for the
  // program's own errors (red), "T::" for the provider's texts (orange).
  std::vector<std::string> markedTexts() const;
  // Called on the writer's thread for every new line, after it was kept.
  void setWatcher(std::function<void(const std::string&)> watcher);

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
  std::vector<std::string> markedTexts_;
  std::function<void(const std::string&)> watcher_;
};

// A whole migration as the user runs it: both sides connected from their
// profiles (the Access copy and the private server), the data cache in a
// temporary program directory, selections in the two trees, the Migrate
// command answered with OK, and the controller run to its end.
class MigrationTest : public ::testing::Test {
 protected:
  MigrationTest();
  ~MigrationTest() override;
  void SetUp() override;
  void TearDown() override;

  // A name no other test process uses: `stem`, the process id and a count.
  static std::string UniqueName(const std::string& stem);
  // Copies an Access file into the temporary folder under a unique file
  // name beginning with `stem` and ending as the original does (.mdb or
  // .accdb), so that the database a clone creates from it is this process's
  // own.
  std::filesystem::path copyAccessFile(const std::filesystem::path& original,
                                       const std::string& stem);
  // Writes the sample database under a unique name.
  std::filesystem::path writeSample(std::uint64_t rows);

  // Connects the source to `mdb` and the target to the private server as the
  // Connect command does, then sets the target's connection character set to
  // utf8mb4 and the storage engine of new tables.
  void connect(const std::filesystem::path& mdb, const std::string& password = "",
               const std::string& engine = "MyISAM");
  // The database name the source tree shows for the connected Access file.
  std::string sourceDatabase() const;
  // Creates an empty target database (dropped at the end of the test) and
  // refreshes the target tree so that it can be selected.
  std::string createTargetDatabase(const std::string& stem);
  // Drops the named target database at the end of the test.
  void dropLater(const std::string& database) { databases_.push_back(database); }

  // Selects the source node below the database: none (the database itself),
  // a folder ("Tables"/"Views") or an object in it; and the target database
  // node, or the root when `targetDatabase` is empty. Then runs the Migrate
  // command (answered OK by the prompter) and returns the queued task.
  TaskPtr queue(const std::string& folder, const std::string& object,
                const std::string& targetDatabase);
  // Waits, without a time limit of its own beyond a generous bound, until the
  // controller has ended.
  void waitForController();
  // queue() and waitForController() in one.
  TaskPtr migrate(const std::string& folder, const std::string& object,
                  const std::string& targetDatabase);

  std::vector<std::string> logTexts() const { return log_.texts(); }
  std::vector<std::string> markedLogTexts() const { return log_.markedTexts(); }
  // The lines from the last one that starts with `text` on.
  std::vector<std::string> linesWith(const std::string& text) const;
  // The data cache directory of this test's program directory.
  std::filesystem::path dataCache() const { return home_.path() / "data_cache"; }

  // Queries on the target session.
  std::vector<std::string> query(const std::string& sql);
  // "" when the query ran, else the reason.
  std::string tryQuery(const std::string& sql);
  // The names of the tables (or views) of a target database.
  std::vector<std::string> targetTables(const std::string& database, bool views = false);
  // The tables of the connected source that a whole-database migration moves:
  // every table but the temporary ones Access left behind.
  std::vector<std::string> migratableSourceTables();

  std::optional<PrivateServer> server_;
  ScopedTempDir temp_;
  ScopedTempDir home_;
  ScopedEnvironment tabliftHome_;
  ScopedEnvironment userHome_;
  ScopedEnvironment userProfile_;
  CurrentDirectoryGuard directory_;
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
  LogRecorder log_;

 private:
  std::vector<std::string> databases_;
};

// The rows of MySQL's KEY_COLUMN_USAGE and the like come back as "a|b|c".
std::string Joined(const std::vector<std::string>& parts, const char* separator = "|");

}  // namespace tablift::test
