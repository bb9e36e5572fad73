#include "migration/resume_plan.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "access/access_sql.h"
#include "access/source_rows_query.h"
#include "access/table_columns.h"
#include "data_access/ascii_text.h"
#include "data_access/profile_file.h"
#include "migration/migration_context.h"
#include "mysql/query_first_value.h"
#include "mysql/sql_literals.h"
#include "mysql/table_load.h"
#include "mysql/target_objects.h"
#include "translate/mysql_names.h"

namespace tablift {
namespace {

// The source rows the migration copies, narrowed further by `narrowing`;
// -1 when the source cannot count them.
long long CountSourceRows(MigrationContext& job, Session* sourceSession,
                          const std::string& database, const std::string& table,
                          std::string_view narrowing) {
  const MigrationSettings settings = job.migrationSettings();
  const std::string condition = ReadProfileString(settings.conditionFile, database, table, "");
  std::string query;
  if (!ConditionedQuery("select count(*)", table, condition, query, narrowing).empty()) return -1;
  const Result<std::string> counted = QueryFirstValue(job, sourceSession, query);
  if (!counted.ok()) return -1;
  return std::strtoll(counted.value().c_str(), nullptr, 10);
}

// The source column that became the target column `targetColumn`.
std::optional<std::string> SourceColumn(MigrationContext& job, Session* sourceSession,
                                        const std::string& table, const std::string& targetColumn) {
  std::vector<ColumnRow> columns;
  if (!ReadTableColumns(*sourceSession, table, columns)) return std::nullopt;
  const NameRule rule = job.migrationSettings().nameRule;
  for (const ColumnRow& column : columns) {
    if (EqualsIgnoreCase(MySqlName(column.columnName, rule), targetColumn))
      return column.columnName;
  }
  return std::nullopt;
}

ResumePlan Reload(ResumePlan plan, const std::string& why) {
  plan.action = ResumeAction::Reload;
  plan.note = "emptied and loaded again: " + why;
  return plan;
}

}  // namespace

ResumePlan PlanResumedRows(MigrationContext& job, Session* sourceSession,
                           const std::string& database, const std::string& table,
                           const std::string& targetTable) {
  Session* target = job.targetSession();
  ResumePlan plan;
  plan.targetRows = CountTableRows(target, targetTable);
  if (plan.targetRows == 0) {
    plan.note = "the target table is empty: its rows are loaded";
    return plan;
  }
  if (plan.targetRows < 0) return Reload(plan, "its rows cannot be counted on the target");
  plan.sourceRows = CountSourceRows(job, sourceSession, database, table, {});
  if (plan.sourceRows == plan.targetRows) {
    plan.action = ResumeAction::Skip;
    plan.note = "skipped: already holds all its " + std::to_string(plan.targetRows) + " rows";
    return plan;
  }
  const std::vector<KeyColumn> key = PrimaryKeyColumns(target, targetTable);
  if (key.empty()) return Reload(plan, "it has no primary key");
  if (key.size() > 1 || !key.front().integral)
    return Reload(plan, "its primary key is not one integer column");
  const std::optional<std::string> column =
      SourceColumn(job, sourceSession, table, key.front().name);
  const std::optional<std::string> last =
      QueryTargetValue(target, "select max(" + QuoteIdentifier(key.front().name) + ") from " +
                                   QuoteIdentifier(targetTable));
  if (!column || !last) return Reload(plan, "its highest key cannot be read");
  // The key is an integer: the server's text of it is a literal Access
  // reads the same.
  const std::optional<std::string> keyName = BracketedAccessName(*column);
  if (!keyName) return Reload(plan, "its key column's name cannot be written in Access SQL");
  const long long upToLast =
      CountSourceRows(job, sourceSession, database, table, *keyName + " <= " + *last);
  if (upToLast != plan.targetRows) {
    return Reload(plan, "its " + std::to_string(plan.targetRows) +
                            " rows are not the source's rows up to its highest key " + *last);
  }
  plan.action = ResumeAction::Continue;
  plan.keyColumn = *column;
  plan.lastKey = *last;
  plan.note = "continued after key [" + *column + "] = " + *last + " (" +
              std::to_string(plan.targetRows) + " rows were there)";
  return plan;
}

}  // namespace tablift
