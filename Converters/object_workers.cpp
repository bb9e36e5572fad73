#include "Converters/object_workers.h"

#include <vector>

#include "Converters/cache_file.h"
#include "Converters/execute_statement.h"
#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/object_names.h"
#include "data_access/safe_file_name.h"
#include "source_access/foreign_key_statements.h"
#include "source_access/view_definition.h"
#include "target_mysql/statement_pieces.h"
#include "target_mysql/table_engine.h"

namespace tablift {
namespace {

constexpr std::string_view kViewNotSupported = "NO SUPPORT!";

// The names of the source's tables or views as the catalog lists them; false
// (after the step-failure line) when the list cannot be opened.
bool ListObjects(Workbench& window, Session* session, ObjectKind kind, std::string_view step,
                 std::vector<std::string>& names) {
  const HResult opened = session == nullptr ? E_FAIL : ListObjectNames(*session, {}, kind, names);
  if (Failed(opened)) {
    WritePlainLine(window, DescribeStepFailure(opened, step));
    return false;
  }
  return true;
}

}  // namespace

bool MigrateView(Workbench& window, Session* sourceSession, std::string database,
                 std::string view) {
  const std::string cacheFile = SafeFileName(view) + ".vw";
  if (!RewriteCacheFile(cacheFile, {})) {
    WriteCacheFileFailure(window);
    return false;
  }
  WriteLine(window, "VIEW: [%s].[%s] Converting..... ", database.c_str(), view.c_str());
  const std::string statement = TranslateViewDdl(window, sourceSession, database, view);
  if (statement.empty()) {
    WriteLine(window, "No View(s)!");
    return true;
  }
  RewriteCacheFile(cacheFile, statement);
  // The reason why the query cannot be a MySQL view is already in the log;
  // sending the text would only add a second, meaningless failure.
  if (statement == kViewNotSupported ||
      !ExecuteStatement(window, window.targetSession(), statement, 0)) {
    WriteLine(window, "Create VIEW [%s] failure!!!", view.c_str());
    return false;
  }
  WriteLine(window, "Create VIEW [%s] SUCCESSFULLY!!!", view.c_str());
  return true;
}

int MigrateAllViews(Workbench& window, Session* sourceSession, std::string database) {
  WriteLine(window, "Convert Views of database [%s]", database.c_str());
  std::vector<std::string> views;
  if (!ListObjects(window, sourceSession, ObjectKind::View, "Open views Error: ", views)) return -1;

  // A view that reads another view fails while that one does not exist yet;
  // the catalog lists views by name, not by dependency. So failed views are
  // tried again as long as a pass creates at least one more.
  std::vector<std::string> failed;
  bool stopped = false;
  for (;;) {
    failed.clear();
    for (const std::string& view : views) {
      if (!MigrateView(window, sourceSession, database, view)) failed.push_back(view);
      if (window.runFlag().load() == kRunStopRequested) {
        WriteLine(window, "Views Converting Terminaled!");
        stopped = true;
        break;
      }
    }
    if (stopped || failed.empty() || failed.size() == views.size()) break;
    views = failed;
  }
  return static_cast<int>(failed.size());
}

int MigrateRelationships(Workbench& window, Session* sourceSession, std::string database) {
  WriteLine(window, "Convert Relationships of database [%s]", database.c_str());
  std::vector<std::string> tables;
  if (!ListObjects(window, sourceSession, ObjectKind::Table, "Open tables Error: ", tables))
    return -1;

  int failures = 0;
  for (const std::string& table : tables) {
    const std::string cacheFile = SafeFileName(table);
    const std::string text =
        BuildForeignKeyStatements(window, sourceSession, window.targetSession(), database, table);
    if (!AppendCacheFile(cacheFile, text)) {
      WriteCacheFileFailure(window);
      continue;
    }
    if (text.empty()) {
      WriteLine(window, "No Relationship(s)!");
      continue;
    }
    // An engine without foreign keys would take the statements and keep
    // nothing: that is a relationship lost, not one created.
    const std::string engine = TableEngine(window.targetSession(), table);
    if (!EngineKeepsForeignKeys(engine)) {
      for (std::size_t i = 0; i < SplitStatements(text).size(); ++i) {
        WriteLine(window, "T::Table [%s] uses the %s storage engine, which keeps no FOREIGN KEY",
                  table.c_str(), engine.c_str());
        WritePlainLine(window, "Create Relationship failure!");
        ++failures;
      }
      continue;
    }
    for (const std::string& statement : SplitStatements(text)) {
      if (ExecuteStatement(window, window.targetSession(), statement, 1)) {
        WritePlainLine(window, "Create FOREIGN KEY SUCCESSFULLY!!!");
      } else {
        WritePlainLine(window, "Create Relationship failure!");
        ++failures;
      }
    }
  }
  return failures;
}

}  // namespace tablift
