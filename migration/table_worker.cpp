#include "migration/table_worker.h"

#include <chrono>
#include <vector>

#include "access/source_tables.h"
#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/safe_file_name.h"
#include "migration/cache_file.h"
#include "migration/calculated_columns.h"
#include "migration/complex_column_transfer.h"
#include "migration/migration_context.h"
#include "migration/object_workers.h"
#include "migration/resume_plan.h"
#include "migration/row_transfer.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"
#include "mysql/statement_pieces.h"
#include "mysql/target_objects.h"
#include "translate/cluster_row_key.h"
#include "translate/key_statements.h"
#include "translate/mysql_names.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

// A key or index for the run's summary: made, or left out with its reason.
void RecordKey(MigrationContext& job, const std::string& name, const Status& made) {
  RunRecorder* recorder = job.runRecorder();
  if (recorder == nullptr) return;
  if (made.ok()) {
    recorder->addMade(&RunSummary::keys);
  } else {
    recorder->addLeftOut(&RunSummary::keys, {name, made.message()});
  }
}

// A resumed migration makes only what the target does not hold yet.
bool AlreadyThere(MigrationContext& job, const MigrationSettings& settings,
                  const std::string& statement) {
  return settings.resume && StatementObjectExists(job.targetSession(), statement);
}

// Empties a table whose rows are loaded again from the start. TRUNCATE
// replicates as one statement, whatever the number of rows: a DELETE of
// every row is one transaction, which a cluster refuses past its write-set
// limits. The server refuses TRUNCATE on a table a foreign key refers to;
// there the rows are deleted.
Status EmptyToLoadAgain(MigrationContext& job, const std::string& targetTable) {
  const std::string table = QuoteIdentifier(targetTable);
  const Status truncated =
      ExecuteStatement(job, job.targetSession(), "truncate table " + table, Report::Quiet);
  if (truncated.ok()) return truncated;
  return ExecuteStatement(job, job.targetSession(), "delete from " + table, Report::Outcome);
}

// The rows of a table a resumed migration finds on the target, as the plan
// read from both sides says.
RowTransfer ResumeRows(MigrationContext& job, Session* sourceSession, const std::string& database,
                       const std::string& table, const std::string& targetTable,
                       TableSummary& summary) {
  const ResumePlan plan = PlanResumedRows(job, sourceSession, database, table, targetTable);
  WriteLine(job, "[%s] %s", table.c_str(), plan.note.c_str());
  summary.resumed = plan.note;
  switch (plan.action) {
    case ResumeAction::Skip:
      return RowTransfer{.outcome = RowsOutcome::Transferred};
    case ResumeAction::Continue: {
      const RowsAfterKey after{plan.keyColumn, plan.lastKey};
      return TransferRows(job, sourceSession, job.targetSession(), database, table, &after);
    }
    case ResumeAction::Reload:
      if (const Status emptied = EmptyToLoadAgain(job, targetTable); !emptied.ok()) {
        return RowTransfer{
            .outcome = RowsOutcome::Incomplete,
            .reason = "[" + table + "] cannot be emptied to load it again: " + emptied.message()};
      }
      break;
    case ResumeAction::Load:
      break;
  }
  return TransferRows(job, sourceSession, job.targetSession(), database, table);
}

// How a primary key statement ended.
enum class KeyOutcome { Made, AlreadyThere, Refused };

// Runs a primary key statement, unless a resumed run finds the key there
// already, and records it as `what`.
KeyOutcome AddPrimaryKey(MigrationContext& job, const MigrationSettings& settings,
                         const std::string& statement, const std::string& what) {
  if (AlreadyThere(job, settings, statement)) {
    WritePlainLine(job, "PRIMARY KEY is there already");
    return KeyOutcome::AlreadyThere;
  }
  const Status made = ExecuteStatement(job, job.targetSession(), statement, Report::Outcome);
  RecordKey(job, what,
            made.ok() || !made.message().empty() ? made : Status::Failure("the server refused it"));
  if (made.ok()) return KeyOutcome::Made;
  WriteLine(job, "E::Create PK failure!");
  return KeyOutcome::Refused;
}

// On a cluster, gives a table that has no primary key an invisible one of its
// own; false when the server refused it.
bool AddClusterRowKey(MigrationContext& job, const MigrationSettings& settings,
                      const std::string& table, const std::string& cacheFile,
                      const std::string& createStatement) {
  const std::string target = MySqlName(table, settings.nameRule);
  const std::string column = ClusterRowKeyColumn(createStatement);
  // An AutoNumber column is the table's one AUTO_INCREMENT column.
  const std::string statement = ClusterRowKeyStatement(
      target, column, createStatement.find(kAutoNumberKeyName) != std::string::npos);
  AppendCacheFile(cacheFile, statement + "\n");
  const KeyOutcome outcome =
      AddPrimaryKey(job, settings, statement, table + ": invisible primary key");
  if (outcome != KeyOutcome::Made) return outcome == KeyOutcome::AlreadyThere;
  WriteLine(job,
            "Table [%s] has no primary key: added the invisible key column [%s], as a cluster "
            "replicates rows by their primary key",
            target.c_str(), column.c_str());
  return true;
}

// Adds the primary key; false when the table has one that did not arrive.
bool MigratePrimaryKey(MigrationContext& job, Session* sourceSession,
                       const MigrationSettings& settings, const std::string& database,
                       const std::string& table, const std::string& cacheFile,
                       const std::string& createStatement) {
  WritePlainLine(job, "Primary Keys Migrating..... ");
  const Result<std::string> built =
      BuildPrimaryKeyStatement(job, sourceSession, job.targetSession(), settings, database, table);
  if (!built.ok()) return false;
  const std::string& statement = built.value();
  if (statement.empty()) {
    WritePlainLine(job, "NO PRIMARY KEY(S)!");
    if (settings.cluster.replicated())
      return AddClusterRowKey(job, settings, table, cacheFile, createStatement);
    return true;
  }
  AppendCacheFile(cacheFile, statement);
  const KeyOutcome outcome = AddPrimaryKey(job, settings, statement, table + ": primary key");
  if (outcome != KeyOutcome::Made) return outcome == KeyOutcome::AlreadyThere;
  WritePlainLine(job, "Create PRIMARY KEY SUCCESSFULLY!!!");
  // The AutoNumber column's own index is redundant once the primary key
  // leads with it; the server refuses the drop otherwise, which is harmless.
  if (createStatement.find(kAutoNumberKeyName) != std::string::npos) {
    ExecuteStatement(job, job.targetSession(),
                     DropAutoNumberKeyStatement(MySqlName(table, settings.nameRule)))
        .ok();
  }
  return true;
}

// Adds the unique indexes; false when one did not arrive.
bool MigrateUniqueIndexes(MigrationContext& job, Session* sourceSession,
                          const MigrationSettings& settings, const std::string& database,
                          const std::string& table, const std::string& cacheFile) {
  WritePlainLine(job, "Unique Keys Migrating..... ");
  const Result<std::string> built =
      BuildUniqueIndexStatement(job, sourceSession, job.targetSession(), settings, database, table);
  if (!built.ok()) return false;
  const std::string& text = built.value();
  if (text.empty()) {
    WritePlainLine(job, "NO Index(es)!");
    return true;
  }
  AppendCacheFile(cacheFile, text);
  bool all = true;
  for (const std::string& statement : SplitStatements(text)) {
    std::string failure;
    if (AlreadyThere(job, settings, statement)) {
      WritePlainLine(job, "Index is there already");
      continue;
    }
    const Status made = ExecuteStatement(job, job.targetSession(), statement);
    RecordKey(
        job, table + ": unique index",
        made.ok() || !made.message().empty() ? made : Status::Failure("the server refused it"));
    if (Accepted(made, &failure)) {
      WritePlainLine(job, "Create Index SUCCESSFULLY!!!");
    } else {
      // A unique constraint that did not arrive is worth its reason, right
      // before the line that says so.
      if (!failure.empty()) WriteLine(job, "T::%s", failure.c_str());
      WritePlainLine(job, "Create Index failure!");
      all = false;
    }
  }
  return all;
}

}  // namespace

namespace {

// MigrateTable's work, with what the summary says of the table (all but its
// time and status) filled in `summary`.
int MigrateTableRecording(MigrationContext& job, Session* sourceSession, std::string database,
                          std::string table, TableSummary& summary);

// The table for the run's summary, once its fate is known.
int RecordTable(MigrationContext& job, std::chrono::steady_clock::time_point started,
                TableSummary table, int outcome) {
  RunRecorder* recorder = job.runRecorder();
  if (recorder == nullptr) return outcome;
  table.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  table.status = outcome == kTableMigrated     ? TableStatus::Migrated
                 : outcome == kTableIncomplete ? TableStatus::Incomplete
                                               : TableStatus::NotCreated;
  if (outcome == kTableNotCreated && table.reason.empty())
    table.reason = "the table could not be created (see the log)";
  if (outcome == kTableCacheFileError) table.reason = "its cache file cannot be written";
  recorder->addTable(std::move(table));
  return outcome;
}

}  // namespace

int MigrateTable(MigrationContext& job, Session* sourceSession, std::string database,
                 std::string table) {
  const auto started = std::chrono::steady_clock::now();
  TableSummary summary{.name = table};
  const int outcome = MigrateTableRecording(job, sourceSession, database, table, summary);
  return RecordTable(job, started, std::move(summary), outcome);
}

namespace {

int MigrateTableRecording(MigrationContext& job, Session* sourceSession, std::string database,
                          std::string table, TableSummary& summary) {
  const MigrationSettings settings = job.migrationSettings();
  const std::string cacheFile = (settings.cacheFolder / SafeFileName(table)).string();
  if (!RewriteCacheFile(cacheFile, {})) {
    WriteCacheFileFailure(job);
    return kTableCacheFileError;
  }
  WriteLine(job, "TABLE: [%s].[%s] Migrating..... ", database.c_str(), table.c_str());
  if (!settings.replacedEngine.empty()) {
    WriteLine(job,
              "Table [%s] is created as %s, not %s: the target is a cluster, which replicates "
              "the rows of InnoDB tables only",
              table.c_str(), settings.storageEngine.c_str(), settings.replacedEngine.c_str());
  }
  const Result<std::string> translated =
      TranslateTableDdl(job, sourceSession, settings, database, table);
  if (!translated.ok()) return kTableNotCreated;  // the reason is logged
  const std::string& create = translated.value();
  RewriteCacheFile(cacheFile, create);
  // A resumed migration keeps a table the target has, with its rows.
  const std::string targetTable = MySqlName(table, settings.nameRule);
  const bool kept =
      settings.resume && TargetTableExists(job.targetSession(), targetTable).value_or(false);
  if (kept) {
    WriteLine(job, "Table [%s] is there already: it is kept", table.c_str());
  } else if (const Status created =
                 ExecuteStatement(job, job.targetSession(), create, Report::Outcome);
             !created.ok()) {
    WriteLine(job, "E::TABLE: Create [%s].[%s] ERROR !", database.c_str(), table.c_str());
    summary.reason = created.message();
    return kTableNotCreated;
  } else {
    WriteLine(job, "Create table [%s] SUCCESSFULLY!!!", table.c_str());
  }

  const bool key =
      MigratePrimaryKey(job, sourceSession, settings, database, table, cacheFile, create);
  const bool indexes =
      MigrateUniqueIndexes(job, sourceSession, settings, database, table, cacheFile);
  bool whole = key && indexes;
  const RowTransfer rows =
      kept ? ResumeRows(job, sourceSession, database, table, targetTable, summary)
           : TransferRows(job, sourceSession, job.targetSession(), database, table);
  whole = rows == RowsOutcome::Transferred && whole;
  summary.rowsRead = rows.rowsRead;
  summary.rowsWritten = rows.rowsWritten;
  summary.rowsRefused = rows.rowsRefused;
  // The first reason the table is not whole.
  if (!key) {
    summary.reason = "its primary key was refused";
  } else if (!indexes) {
    summary.reason = "a unique index was refused";
  } else if (rows == RowsOutcome::Stopped) {
    summary.reason = "stopped before every row was read";
  } else if (rows != RowsOutcome::Transferred) {
    summary.reason = rows.reason.empty() ? "the rows could not be read" : rows.reason;
  }
  // Calculated fields arrive as Access stored them; MySQL computes them from
  // then on where it gives the same values. The values of complex columns
  // follow their parent rows, which their foreign keys refer to.
  if (rows == RowsOutcome::Transferred) {
    MigrateCalculatedColumns(job, sourceSession, table);
    if (!MigrateComplexColumns(job, sourceSession, database, table)) {
      whole = false;
      if (summary.reason.empty()) summary.reason = "a complex column's values did not arrive";
    }
  }
  return whole ? kTableMigrated : kTableIncomplete;
}

}  // namespace

int MigrateAllTables(MigrationContext& job, Session* sourceSession, std::string database) {
  WriteLine(job, "Convert Tables of database [%s]", database.c_str());
  std::vector<std::string> temporary;
  const Result<std::vector<std::string>> listed =
      ListSourceTables(sourceSession, "Open tables Error: ", &temporary);
  if (!listed.ok()) {
    WritePlainLine(job, listed.message());
    return -1;
  }
  const std::vector<std::string>& tables = listed.value();
  for (const std::string& table : temporary)
    WriteLine(job, "Table [%s] left out: a temporary table Access left behind", table.c_str());
  int incomplete = 0;
  for (const std::string& table : tables) {
    if (job.stopRequested()) {
      WriteLine(job, "Tables Converting Terminated!");
      // Nothing is made after a stop: relationships would point at tables
      // cut short or never made.
      return incomplete + 1;
    }
    if (MigrateTable(job, sourceSession, database, table) != kTableMigrated) ++incomplete;
  }
  if (job.stopRequested()) {
    WriteLine(job, "Tables Converting Terminated!");
    return incomplete + 1;
  }
  if (MigrateRelationships(job, sourceSession, database) != 0) ++incomplete;
  return incomplete;
}

}  // namespace tablift
