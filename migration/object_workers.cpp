#include "migration/object_workers.h"

#include <vector>

#include "access/source_tables.h"
#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/object_names.h"
#include "data_access/provider_calls.h"
#include "data_access/safe_file_name.h"
#include "migration/cache_file.h"
#include "migration/migration_context.h"
#include "mysql/execute_statement.h"
#include "mysql/statement_pieces.h"
#include "mysql/table_engine.h"
#include "translate/foreign_key_statements.h"
#include "translate/mysql_names.h"
#include "translate/view_definition.h"
#include "translate/view_order.h"

namespace tablift {
namespace {

// The names of the source's tables or views as the catalog lists them; false
// (after the step-failure line) when the list cannot be opened.
bool ListObjects(MigrationContext& job, Session* session, ObjectKind kind, std::string_view step,
                 std::vector<std::string>& names) {
  Result<std::vector<std::string>> listed = kind == ObjectKind::Table
                                                ? ListSourceTables(session, step)
                                                : ObjectNames(session, {}, kind, step);
  if (!listed.ok()) {
    WritePlainLine(job, listed.message());
    return false;
  }
  names = std::move(listed).value();
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

ViewAttempt TryView(MigrationContext& job, Session* sourceSession, const std::string& database,
                    const std::string& view) {
  ViewAttempt attempt;
  const MigrationSettings settings = job.migrationSettings();
  const std::string cacheFile = (settings.cacheFolder / (SafeFileName(view) + ".vw")).string();
  if (!RewriteCacheFile(cacheFile, {})) {
    WriteCacheFileFailure(job);
    attempt.outcome = ViewAttempt::Outcome::Untranslatable;
    return attempt;
  }
  WriteLine(job, "VIEW: [%s].[%s] Converting..... ", database.c_str(), view.c_str());
  const Result<std::string> translated = TranslateViewDdl(job, sourceSession, settings.nameRule,
                                                          settings.targetProvider, database, view);
  if (!translated.ok()) {
    // Why the query cannot be a MySQL view is already in the log; the cache
    // file keeps what stopped it.
    RewriteCacheFile(cacheFile, translated.message());
    attempt.outcome = ViewAttempt::Outcome::Untranslatable;
    return attempt;
  }
  attempt.statement = translated.value();
  if (attempt.statement.empty()) {
    WriteLine(job, "No View(s)!");
    return attempt;
  }
  RewriteCacheFile(cacheFile, attempt.statement);
  if (!Accepted(ExecuteStatement(job, job.targetSession(), attempt.statement), &attempt.reason)) {
    attempt.outcome = ViewAttempt::Outcome::Refused;
    return attempt;
  }
  attempt.outcome = ViewAttempt::Outcome::Created;
  return attempt;
}

void ReportView(MigrationContext& job, const std::string& view, const ViewAttempt& attempt) {
  switch (attempt.outcome) {
    case ViewAttempt::Outcome::Created:
      WriteLine(job, "Create VIEW [%s] SUCCESSFULLY!!!", view.c_str());
      break;
    case ViewAttempt::Outcome::Refused:
      WriteLine(job, "T::%s", attempt.reason.c_str());
      [[fallthrough]];
    case ViewAttempt::Outcome::Untranslatable:
      WriteLine(job, "Create VIEW [%s] failure!!!", view.c_str());
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

bool MigrateView(MigrationContext& job, Session* sourceSession, std::string database,
                 std::string view) {
  const ViewAttempt attempt = TryView(job, sourceSession, database, view);
  ReportView(job, view, attempt);
  return !NotCreated(attempt);
}

int MigrateAllViews(MigrationContext& job, Session* sourceSession, std::string database) {
  WriteLine(job, "Convert Views of database [%s]", database.c_str());
  std::vector<std::string> views;
  if (!ListObjects(job, sourceSession, ObjectKind::View, "Open views Error: ", views)) return -1;
  // A view that reads another view is refused while that one does not exist
  // yet, and the catalog lists views by name: they go in the order of what
  // they read.
  views = OrderViewsByInputs(views, ReadQueryInputs(sourceSession));

  int failures = 0;
  std::vector<std::pair<std::string, ViewAttempt>> refused;
  const auto stopRequested = [&] {
    if (!job.stopRequested()) return false;
    WriteLine(job, "Views Converting Terminated!");
    return true;
  };
  bool stopped = false;
  for (const std::string& view : views) {
    ViewAttempt attempt = TryView(job, sourceSession, database, view);
    if (attempt.outcome == ViewAttempt::Outcome::Refused) {
      refused.emplace_back(view, std::move(attempt));
    } else {
      ReportView(job, view, attempt);
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
      if (Accepted(ExecuteStatement(job, job.targetSession(), attempt.statement),
                   &attempt.reason)) {
        attempt.outcome = ViewAttempt::Outcome::Created;
        ReportView(job, view, attempt);
        progress = true;
      }
      if ((stopped = stopRequested())) break;
    }
    progress = progress && !stopped;
  }
  for (const auto& [view, attempt] : refused) {
    if (attempt.outcome != ViewAttempt::Outcome::Refused) continue;
    ReportView(job, view, attempt);
    ++failures;
  }
  return failures;
}

int MigrateRelationships(MigrationContext& job, Session* sourceSession, std::string database) {
  WriteLine(job, "Convert Relationships of database [%s]", database.c_str());
  std::vector<std::string> tables;
  if (!ListObjects(job, sourceSession, ObjectKind::Table, "Open tables Error: ", tables)) return -1;

  const MigrationSettings settings = job.migrationSettings();
  int failures = 0;
  for (const std::string& table : tables) {
    const std::string cacheFile = (settings.cacheFolder / SafeFileName(table)).string();
    const Result<std::string> built = BuildForeignKeyStatements(
        job, sourceSession, job.targetSession(), settings.nameRule, database, table);
    if (!built.ok()) {
      // The relationships of this table could not be read: none of them arrives.
      WritePlainLine(job, "Create Relationship failure!");
      ++failures;
      continue;
    }
    const std::string& text = built.value();
    if (!AppendCacheFile(cacheFile, text)) {
      WriteCacheFileFailure(job);
      continue;
    }
    if (text.empty()) {
      WriteLine(job, "No Relationship(s)!");
      continue;
    }
    // An engine without foreign keys would take the statements and keep
    // nothing: that is a relationship lost, not one created.
    const std::string engine =
        TableEngine(job.targetSession(), MySqlName(table, settings.nameRule));
    if (!EngineKeepsForeignKeys(engine)) {
      for (std::size_t i = 0; i < SplitStatements(text).size(); ++i) {
        WriteLine(job, "T::Table [%s] uses the %s storage engine, which keeps no FOREIGN KEY",
                  table.c_str(), engine.c_str());
        WritePlainLine(job, "Create Relationship failure!");
        ++failures;
      }
      continue;
    }
    for (const std::string& statement : SplitStatements(text)) {
      if (ExecuteStatement(job, job.targetSession(), statement, Report::Outcome).ok()) {
        WritePlainLine(job, "Create FOREIGN KEY SUCCESSFULLY!!!");
      } else {
        WritePlainLine(job, "Create Relationship failure!");
        ++failures;
      }
    }
  }
  return failures;
}

}  // namespace tablift
