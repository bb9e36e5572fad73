#include "migration/calculated_columns.h"

#include <vector>

#include "access/access_table_details.h"
#include "access/table_columns.h"
#include "core/write_line.h"
#include "migration/migration_context.h"
#include "mysql/execute_statement.h"
#include "mysql/query_first_value.h"
#include "translate/generated_column.h"
#include "translate/table_ddl.h"

namespace tablift {

bool MakeGeneratedColumn(JobContext& job, Session* target, const std::string& table,
                         const std::string& column, const std::string& mysqlType,
                         const std::string& expression, NameRule rule) {
  const GeneratedColumnStatements statements =
      BuildGeneratedColumnStatements(table, column, mysqlType, expression, rule);
  auto keepStored = [&](const std::string& reason) {
    WriteLine(job,
              "Calculated column [%s].[%s] keeps the values Access stored, MySQL does not "
              "compute [%s]: %s",
              table.c_str(), column.c_str(), expression.c_str(), reason.c_str());
    return false;
  };
  if (!statements.ok) return keepStored(statements.problem);
  const Status added = ExecuteStatement(job, target, statements.add);
  if (!added.ok()) return keepStored("the server refuses it: " + added.message());
  const Result<std::string> counted = QueryFirstValue(job, target, statements.disagreeing);
  const std::string disagreeing = counted.ok() ? counted.value() : counted.message();
  if (disagreeing != "0") {
    ExecuteStatement(job, target, statements.dropAdded).ok();
    return keepStored("it gives other values than Access stored (" + disagreeing + ")");
  }
  const Status replaced = ExecuteStatement(job, target, statements.replace);
  if (!replaced.ok()) {
    ExecuteStatement(job, target, statements.dropAdded).ok();
    return keepStored("the stored column cannot be replaced: " + replaced.message());
  }
  WriteLine(job, "Calculated column [%s].[%s] is computed by MySQL", table.c_str(), column.c_str());
  return true;
}

void MigrateCalculatedColumns(MigrationContext& job, Session* sourceSession,
                              const std::string& table) {
  if (sourceSession == nullptr) return;
  const Result<jet::TableDefinition> described = DescribeAccessTable(*sourceSession, table);
  if (!described.ok()) return;
  std::vector<ColumnRow> rows;
  bool listed = false;
  const MigrationSettings settings = job.migrationSettings();
  for (const jet::ColumnDefinition& column : described.value().columns) {
    if (!column.calculated || !column.expression) continue;
    if (!listed) {
      listed = true;
      if (!ReadTableColumns(*sourceSession, table, rows)) return;
    }
    for (const ColumnRow& row : rows) {
      if (row.columnName != column.name) continue;
      MakeGeneratedColumn(job, job.targetSession(), table, column.name,
                          MySqlColumnType(row, settings.jetSource), *column.expression,
                          settings.nameRule);
    }
  }
}

}  // namespace tablift
