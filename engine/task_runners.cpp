#include "engine/task_runners.h"

#include <string>

#include "core/write_line.h"
#include "engine/list_catalog.h"
#include "engine/select_database.h"
#include "engine/use_database.h"
#include "engine/workbench.h"
#include "migration/backup_workers.h"
#include "migration/object_workers.h"
#include "migration/table_worker.h"
#include "mysql/catalog_statements.h"
#include "mysql/target_objects.h"

namespace tablift {
namespace {

// A runner's failure line that carries where in the program it was detected:
// "[<source file>](<line>)" before the message. The builtins give the
// caller's place as std::source_location would; clang 14 (the fuzz build) has
// no std::source_location with this standard library.
void WritePositionLine(Workbench& window, const char* message, const std::string& name,
                       const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
  const std::string format = std::string("[%s](%d)") + message;
  WriteLine(window, format.c_str(), file, line, name.c_str());
}

// The server's reason for a failed step, right before the line that says
// which step failed.
void WriteReason(Workbench& window, const std::string& reason) {
  if (!reason.empty()) WriteLine(window, "T::%s", reason.c_str());
}

bool SelectTarget(Workbench& window, const std::string& database) {
  std::string failure;
  if (UseDatabase(window, database, kTargetSide, &failure)) return true;
  WriteReason(window, failure);
  return false;
}

// Switches the source side to the task's database. The switch reconnects the
// side and reports its own failures; the task cannot go on without a session.
bool SelectSource(Workbench& window, const std::string& database) {
  SelectDatabase(window, database, kSourceSide);
  return window.sourceSession() != nullptr;
}

// Makes the task's target database current for the table and view runners,
// and the target tree's current database with it.
bool UseTarget(Workbench& window, const std::string& database) {
  if (!SelectTarget(window, database)) return false;
  window.setTreeDatabasePath(kTargetSide, database);
  return true;
}

void RefreshTarget(Workbench& window) {
  ListCatalog(window, window.targetTree());
}

// Tables and views of the source database; false when any did not arrive
// whole, so that the task shows FAILURE (the other objects are still moved).
bool MigrateTablesAndViews(Workbench& window, const ControllerContext& context, int afterTables,
                           int afterViews) {
  const std::string& database = context.names.sourceDatabase;
  const bool tables = MigrateAllTables(window, window.sourceSession(), database) == 0;
  context.setProgress(afterTables);
  // Views read the tables: after a stop they would be made over tables cut
  // short or never made.
  if (window.stopRequested()) return false;
  const bool views = MigrateAllViews(window, window.sourceSession(), database) == 0;
  context.setProgress(afterViews);
  return tables && views;
}

bool CloneDatabaseRunner(Workbench& window, const ControllerContext& context) {
  const auto& names = context.names;
  std::string failure;
  // A resumed clone continues in the database the interrupted one made.
  const bool made = names.resume && TargetDatabaseExists(window.targetSession(),
                                                         StripDatabasePath(names.targetDatabase));
  if (made) {
    WriteLine(window, "Database [%s] is there already: the migration continues in it",
              StripDatabasePath(names.targetDatabase).c_str());
  } else if (!CreateTargetDatabase(window, window.targetSession(), names.targetDatabase, true,
                                   &failure)) {
    // The step first, then why: the server's own reason on the same line.
    WriteLine(window, "E::Create Target Database[%s] Error! %s", names.targetDatabase.c_str(),
              failure.c_str());
    return false;
  }
  if (!SelectTarget(window, names.targetDatabase)) {
    WritePositionLine(window, "Use Target Database[%s] Error!", names.targetDatabase);
    return false;
  }
  if (!SelectSource(window, names.sourceDatabase)) {
    WritePositionLine(window, "Select Source Database[%s] Error!", names.sourceDatabase);
    return false;
  }
  const bool whole = MigrateTablesAndViews(window, context, 50, 100);
  RefreshTarget(window);
  return whole;
}

bool ConvertDatabaseRunner(Workbench& window, const ControllerContext& context) {
  const auto& names = context.names;
  if (!SelectTarget(window, names.targetDatabase)) {
    WriteLine(window, "Select Target Database [%s] Error!", names.targetDatabase.c_str());
    return false;
  }
  if (!SelectSource(window, names.sourceDatabase)) {
    WriteLine(window, "Select Source Database[%s] Error!", names.sourceDatabase.c_str());
    return false;
  }
  const bool whole = MigrateTablesAndViews(window, context, 50, 90);
  RefreshTarget(window);
  context.setProgress(100);
  return whole;
}

bool ConvertTablesRunner(Workbench& window, const ControllerContext& context) {
  const auto& names = context.names;
  if (!UseTarget(window, names.targetDatabase)) {
    WritePositionLine(window, "Select Target Database[%s] Error!", names.targetDatabase);
    return false;
  }
  if (!SelectSource(window, names.sourceDatabase)) return false;
  const bool whole = MigrateAllTables(window, window.sourceSession(), names.sourceDatabase) == 0;
  context.setProgress(90);
  RefreshTarget(window);
  context.setProgress(100);
  return whole;
}

bool ConvertViewsRunner(Workbench& window, const ControllerContext& context) {
  const auto& names = context.names;
  if (!UseTarget(window, names.targetDatabase)) return false;
  if (!SelectSource(window, names.sourceDatabase)) return false;
  const bool whole = MigrateAllViews(window, window.sourceSession(), names.sourceDatabase) == 0;
  context.setProgress(90);
  RefreshTarget(window);
  context.setProgress(100);
  return whole;
}

bool ConvertObjectRunner(Workbench& window, const ControllerContext& context, bool table) {
  const auto& names = context.names;
  if (!SelectTarget(window, names.targetDatabase)) {
    WriteLine(window, "Select Target Database[%s] Error!", names.targetDatabase.c_str());
    return false;
  }
  if (!SelectSource(window, names.sourceDatabase)) {
    WritePositionLine(window, "Select Source Database[%s] Error!", names.sourceDatabase);
    return false;
  }
  const bool whole =
      table ? MigrateTable(window, window.sourceSession(), names.sourceDatabase,
                           names.sourceObject) == kTableMigrated
            : MigrateView(window, window.sourceSession(), names.sourceDatabase, names.sourceObject);
  context.setProgress(90);
  RefreshTarget(window);
  context.setProgress(100);
  return whole;
}

// Backups read the server's text in utf8mb4 whatever the connection's
// character set: the files are UTF-8, and a narrower set would have the
// server put '?' in place of what it cannot hold. The user's choice is back
// in force when the backup ends.
class WholeTextReading {
 public:
  explicit WholeTextReading(Workbench& window) : window_(window) {
    if (Session* session = window_.targetSession()) session->setClientCharset("utf8mb4");
  }
  ~WholeTextReading() {
    if (Session* session = window_.targetSession()) session->setClientCharset(window_.charset());
  }
  WholeTextReading(const WholeTextReading&) = delete;
  WholeTextReading& operator=(const WholeTextReading&) = delete;

 private:
  Workbench& window_;
};

// A whole database, or its tables or views ("A", "T", "V"). The task fails
// when the database cannot be selected, and also when any object was not
// backed up whole, so that a backup with holes never shows SUCCESS.
bool BackupDatabaseRunner(Workbench& window, const ControllerContext& context) {
  const auto& names = context.names;
  if (!SelectTarget(window, names.targetDatabase)) return false;
  const WholeTextReading reading(window);
  const std::string& scope = names.backupScope;
  bool whole = true;
  if (scope == "A" || scope == "T") {
    whole = BackupAllTables(window, window.targetSession(), names.targetDatabase,
                            names.backupDirectory) == 0;
  }
  context.setProgress(50);
  if (scope == "A" || scope == "V") {
    whole = BackupAllViews(window, window.targetSession(), names.targetDatabase,
                           names.backupDirectory) == 0 &&
            whole;
  }
  context.setProgress(100);
  return whole;
}

bool BackupObjectRunner(Workbench& window, const ControllerContext& context) {
  const auto& names = context.names;
  if (!SelectTarget(window, names.targetDatabase)) {
    WriteLine(window, "Select Target Database[%s] Error!", names.targetDatabase.c_str());
    return false;
  }
  const std::filesystem::path folder = BackupFolder(window, names.backupDirectory);
  const WholeTextReading reading(window);
  int result = 0;
  if (names.backupScope == "T") {
    result = BackupTable(window, window.targetSession(), names.targetDatabase, names.targetObject,
                         folder);
  } else if (names.backupScope == "V") {
    result = BackupView(window, window.targetSession(), names.targetDatabase, names.targetObject,
                        folder);
  }
  context.setProgress(80);
  RefreshTarget(window);
  context.setProgress(100);
  return result == kObjectBackedUp;
}

}  // namespace

TaskRunner FindTaskRunner(TaskType type) {
  switch (type) {
    case CloneDatabase:
      return CloneDatabaseRunner;
    case ConvertDatabase:
      return ConvertDatabaseRunner;
    case ConvertTables:
      return ConvertTablesRunner;
    case ConvertViews:
      return ConvertViewsRunner;
    case ConvertTable:
      return [](Workbench& window, const ControllerContext& context) {
        return ConvertObjectRunner(window, context, true);
      };
    case ConvertView:
      return [](Workbench& window, const ControllerContext& context) {
        return ConvertObjectRunner(window, context, false);
      };
    case BackupDatabase:
      return BackupDatabaseRunner;
    case BackupObject:
      return BackupObjectRunner;
    default:
      return {};
  }
}

}  // namespace tablift
