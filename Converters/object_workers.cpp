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
#include "source_access/mysql_names.h"
#include "source_access/source_tables.h"
#include "source_access/view_definition.h"
#include "source_access/view_order.h"
#include "target_mysql/statement_pieces.h"
#include "target_mysql/table_engine.h"

namespace tablift {
namespace {

// Whether the view translation gave a statement rather than one of its
// failure texts (each logged with its reason where it arose).
bool IsViewStatement(std::string_view text) {
  return text.rfind("CREATE VIEW ", 0) == 0;
}

// The names of the source's tables or views as the catalog lists them; false
// (after the step-failure line) when the list cannot be opened.
bool ListObjects(Workbench& window, Session* session, ObjectKind kind, std::string_view step,
                 std::vector<std::string>& names) {
  HResult opened = E_FAIL;
  if (session != nullptr) {
    opened = kind == ObjectKind::Table ? ListSourceTables(*session, names)
                                       : ListObjectNames(*session, {}, kind, names);
  }
  if (Failed(opened)) {
    WritePlainLine(window, DescribeStepFailure(opened, step));
    return false;
  }
  return true;
}

// One try at a view. A view the server refused keeps its statement and the
// server's reason, so that it can be tried again once the views it reads
// exist, and its failure be reported once, with that reason.
struct ViewAttempt {
  enum class Outcome { Created, Nothing, Untranslatable, Refused };
  Outcome outcome = Outcome::Nothing;
  std::string statement;
  std::string reason;
};

ViewAttempt TryView(Workbench& window, Session* sourceSession, const std::string& database,
                    const std::string& view) {
  ViewAttempt attempt;
  const std::string cacheFile = SafeFileName(view) + ".vw";
  if (!RewriteCacheFile(cacheFile, {})) {
    WriteCacheFileFailure(window);
    attempt.outcome = ViewAttempt::Outcome::Untranslatable;
    return attempt;
  }
  WriteLine(window, "VIEW: [%s].[%s] Converting..... ", database.c_str(), view.c_str());
  attempt.statement = TranslateViewDdl(window, sourceSession, database, view);
  if (attempt.statement.empty()) {
    WriteLine(window, "No View(s)!");
    return attempt;
  }
  RewriteCacheFile(cacheFile, attempt.statement);
  // The reason why the query cannot be a MySQL view is already in the log;
  // sending the text would only add a second, meaningless failure.
  if (!IsViewStatement(attempt.statement)) {
    attempt.outcome = ViewAttempt::Outcome::Untranslatable;
    return attempt;
  }
  if (!ExecuteStatement(window, window.targetSession(), attempt.statement, 0, &attempt.reason)) {
    attempt.outcome = ViewAttempt::Outcome::Refused;
    return attempt;
  }
  attempt.outcome = ViewAttempt::Outcome::Created;
  return attempt;
}

void ReportView(Workbench& window, const std::string& view, const ViewAttempt& attempt) {
  switch (attempt.outcome) {
    case ViewAttempt::Outcome::Created:
      WriteLine(window, "Create VIEW [%s] SUCCESSFULLY!!!", view.c_str());
      break;
    case ViewAttempt::Outcome::Refused:
      WriteLine(window, "T::%s", attempt.reason.c_str());
      [[fallthrough]];
    case ViewAttempt::Outcome::Untranslatable:
      WriteLine(window, "Create VIEW [%s] failure!!!", view.c_str());
      break;
    case ViewAttempt::Outcome::Nothing:
      break;
  }
}

bool NotCreated(const ViewAttempt& attempt) {
  return attempt.outcome == ViewAttempt::Outcome::Refused ||
         attempt.outcome == ViewAttempt::Outcome::Untranslatable;
}

}  // namespace

bool MigrateView(Workbench& window, Session* sourceSession, std::string database,
                 std::string view) {
  const ViewAttempt attempt = TryView(window, sourceSession, database, view);
  ReportView(window, view, attempt);
  return !NotCreated(attempt);
}

int MigrateAllViews(Workbench& window, Session* sourceSession, std::string database) {
  WriteLine(window, "Convert Views of database [%s]", database.c_str());
  std::vector<std::string> views;
  if (!ListObjects(window, sourceSession, ObjectKind::View, "Open views Error: ", views)) return -1;
  // A view that reads another view is refused while that one does not exist
  // yet, and the catalog lists views by name: they go in the order of what
  // they read.
  views = OrderViewsByInputs(views, ReadQueryInputs(sourceSession));

  int failures = 0;
  std::vector<std::pair<std::string, ViewAttempt>> refused;
  const auto stopRequested = [&] {
    if (window.runFlag().load() != kRunStopRequested) return false;
    WriteLine(window, "Views Converting Terminated!");
    return true;
  };
  bool stopped = false;
  for (const std::string& view : views) {
    ViewAttempt attempt = TryView(window, sourceSession, database, view);
    if (attempt.outcome == ViewAttempt::Outcome::Refused) {
      refused.emplace_back(view, std::move(attempt));
    } else {
      ReportView(window, view, attempt);
      if (NotCreated(attempt)) ++failures;
    }
    if ((stopped = stopRequested())) break;
  }
  // What the order could not foresee (a view read in a way the query's
  // inputs do not show) is tried again as long as a round creates at least
  // one more view. A view that stays refused is reported once, with the
  // server's last reason.
  for (bool progress = !stopped; progress && !refused.empty();) {
    progress = false;
    for (auto& [view, attempt] : refused) {
      if (attempt.outcome != ViewAttempt::Outcome::Refused) continue;
      if (ExecuteStatement(window, window.targetSession(), attempt.statement, 0, &attempt.reason)) {
        attempt.outcome = ViewAttempt::Outcome::Created;
        ReportView(window, view, attempt);
        progress = true;
      }
      if ((stopped = stopRequested())) break;
    }
    progress = progress && !stopped;
  }
  for (const auto& [view, attempt] : refused) {
    if (attempt.outcome != ViewAttempt::Outcome::Refused) continue;
    ReportView(window, view, attempt);
    ++failures;
  }
  return failures;
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
    const std::string engine =
        TableEngine(window.targetSession(), MySqlName(table, window.nameRule()));
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
