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
#include "migration/saved_query_worker.h"
#include "mysql/execute_statement.h"
#include "mysql/foreign_key_in_place.h"
#include "mysql/statement_pieces.h"
#include "mysql/table_engine.h"
#include "mysql/target_objects.h"
#include "translate/foreign_key_statements.h"
#include "translate/mysql_names.h"
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

bool NotCreated(const QueryAttempt& attempt) {
  return attempt.outcome == QueryAttempt::Outcome::Refused ||
         attempt.outcome == QueryAttempt::Outcome::LeftOut;
}

}  // namespace

bool MigrateView(MigrationContext& job, Session* sourceSession, std::string database,
                 std::string view) {
  QueryAttempt attempt = PrepareQuery(job, sourceSession, database, view);
  SendQuery(job, attempt);
  ReportQuery(job, view, attempt);
  return !NotCreated(attempt);
}

int MigrateAllViews(MigrationContext& job, Session* sourceSession, std::string database) {
  WriteLine(job, "Convert Views of database [%s]", database.c_str());
  std::vector<std::string> queries;
  if (!ListObjects(job, sourceSession, ObjectKind::View, "Open views Error: ", queries)) return -1;
  // An object that reads a view is refused while that one does not exist
  // yet, and the catalog lists queries by name: they go in the order of what
  // they read.
  queries = OrderViewsByInputs(queries, ReadQueryInputs(sourceSession));

  const auto stopRequested = [&] {
    if (!job.stopRequested()) return false;
    WriteLine(job, "Views Converting Terminated!");
    return true;
  };
  std::vector<std::pair<std::string, QueryAttempt>> attempts;
  bool stopped = false;
  for (const std::string& query : queries) {
    attempts.emplace_back(query, PrepareQuery(job, sourceSession, database, query));
    // What stopped a query is reported right away; a refusal only once no
    // further round can help.
    if (attempts.back().second.outcome == QueryAttempt::Outcome::LeftOut)
      ReportQuery(job, query, attempts.back().second);
    if ((stopped = stopRequested())) break;
  }
  // Views first, in the order of what they read; procedures after them, as
  // they may read any view. A view refused because of what it reads (a
  // view read in a way the query's inputs do not show) is tried again as
  // long as a round creates at least one more; one that stays refused is
  // reported once, with the server's last reason.
  for (const QueryObjectType type : {QueryObjectType::View, QueryObjectType::Procedure}) {
    for (bool progress = true, first = true; progress && !stopped; first = false) {
      progress = false;
      for (auto& [query, attempt] : attempts) {
        if (attempt.type != type) continue;
        const bool due = first ? attempt.outcome == QueryAttempt::Outcome::Pending
                               : attempt.outcome == QueryAttempt::Outcome::Refused;
        if (!due) continue;
        SendQuery(job, attempt);
        if (attempt.outcome == QueryAttempt::Outcome::Created) {
          ReportQuery(job, query, attempt);
          progress = true;
        }
        if ((stopped = stopRequested())) break;
      }
      progress = progress || first;
    }
  }
  int failures = 0;
  int views = 0;
  int procedures = 0;
  RunRecorder* recorder = job.runRecorder();
  for (const auto& [query, attempt] : attempts) {
    const auto kind =
        attempt.type == QueryObjectType::Procedure ? &RunSummary::procedures : &RunSummary::views;
    if (attempt.outcome == QueryAttempt::Outcome::Created) {
      ++(attempt.type == QueryObjectType::Procedure ? procedures : views);
      if (recorder != nullptr) recorder->addMade(kind);
      continue;
    }
    if (!NotCreated(attempt)) continue;
    if (attempt.outcome == QueryAttempt::Outcome::Refused) ReportQuery(job, query, attempt);
    if (recorder != nullptr) recorder->addLeftOut(kind, {query, attempt.reason});
    ++failures;
  }
  WriteLine(job, "Queries: %d views, %d procedures, %d left out", views, procedures, failures);
  return failures;
}

namespace {

// A relationship for the run's summary: made, or left out with its reason.
void RecordForeignKey(MigrationContext& job, const std::string& table, const Status& made) {
  RunRecorder* recorder = job.runRecorder();
  if (recorder == nullptr) return;
  if (made.ok()) {
    recorder->addMade(&RunSummary::foreignKeys);
  } else {
    recorder->addLeftOut(
        &RunSummary::foreignKeys,
        {table, made.message().empty() ? "the server refused it" : made.message()});
  }
}

}  // namespace

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
      RecordForeignKey(job, table, Status::Failure(built.message()));
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
        RecordForeignKey(job, table,
                         Status::Failure("the " + engine + " storage engine keeps no FOREIGN KEY"));
        ++failures;
      }
      continue;
    }
    for (const std::string& statement : SplitStatements(text)) {
      // A resumed migration adds only the relationships the target lacks.
      if (settings.resume && StatementObjectExists(job.targetSession(), statement)) {
        WritePlainLine(job, "FOREIGN KEY is there already");
        continue;
      }
      const Status made = AddForeignKey(job, job.targetSession(), statement, Report::Outcome);
      RecordForeignKey(job, table, made);
      if (made.ok()) {
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
