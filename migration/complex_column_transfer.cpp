#include "migration/complex_column_transfer.h"

#include <unordered_map>
#include <vector>

#include "access/access_table_details.h"
#include "access/table_columns.h"
#include "core/write_line.h"
#include "data_access/jet/value_text.h"
#include "migration/complex_parent_keys.h"
#include "migration/migration_context.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"
#include "mysql/value_literals.h"
#include "translate/complex_table_ddl.h"
#include "translate/complex_table_shape.h"
#include "translate/mysql_names.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

// The MySQL types of the parent's key columns, from its catalog rows.
std::string KeyColumnTypes(Session& session, const std::string& table,
                           const std::vector<std::string>& key, bool jetRules,
                           std::vector<ParentKeyColumn>& columns) {
  std::vector<ColumnRow> rows;
  std::string problem;
  if (!ReadTableColumns(session, table, rows, &problem)) return problem;
  for (const std::string& name : key) {
    for (const ColumnRow& row : rows) {
      if (row.columnName == name) columns.push_back(ParentKeyColumnOf(row, jetRules));
    }
  }
  if (columns.size() != key.size()) return "the primary key's columns are not all listed";
  return {};
}

// Creates one complex column's table and fills it; the reason when not
// everything arrived.
std::string MoveComplexColumn(MigrationContext& job, Session& source, const std::string& table,
                              const jet::ColumnDefinition& column,
                              const std::vector<ParentKeyColumn>& key,
                              const std::unordered_map<std::int64_t, ParentRow>& parentKeys) {
  const MigrationSettings settings = job.migrationSettings();
  const std::string child = MySqlName(ComplexTableAccessName(table, column), settings.nameRule);
  WriteLine(job, "TABLE: [%s] (the values of [%s].[%s]) Migrating..... ", child.c_str(),
            table.c_str(), column.name.c_str());
  std::string rowKey;
  const Status created =
      ExecuteStatement(job, job.targetSession(),
                       ComplexTableDdl(table, column, key, settings, &rowKey), Report::Outcome);
  if (!created.ok()) return "table [" + child + "] cannot be created: " + created.message();
  if (!rowKey.empty()) {
    WriteLine(job,
              "Table [%s] has no primary key: added the invisible key column [%s], as a cluster "
              "replicates rows by their primary key",
              child.c_str(), rowKey.c_str());
  }
  if (!IsInnoDb(settings.storageEngine)) {
    WriteLine(job,
              "[%s]: the %s storage engine keeps no FOREIGN KEY, the values are tied to [%s] by "
              "its key alone",
              child.c_str(), settings.storageEngine.c_str(), table.c_str());
  }

  const Result<std::vector<jet::ComplexValue>> values =
      ComplexColumnValues(source, table, column.name);
  if (!values.ok()) return "the values cannot be read: " + values.message();
  const std::vector<ComplexValueColumn> shape = ComplexValueColumns(column);
  const std::string prefix = "insert into " + QuoteIdentifier(child) + " values (";
  long copied = 0;
  long refused = 0;
  std::string firstRefusal;
  ColumnValue text;
  for (const jet::ComplexValue& value : values.value()) {
    const auto parent = parentKeys.find(value.key);
    // A value of a row the migration condition left out stays behind with it.
    if (parent == parentKeys.end()) continue;
    std::string statement = prefix + parent->second.literals;
    const std::vector<jet::Value> fields = ComplexRowValues(column.complexKind, value);
    for (std::size_t i = 0; i < shape.size() && i < fields.size(); ++i) {
      jet::ValueText(fields[i], shape[i].type, text);
      statement += ',';
      AppendValueLiteral(shape[i].row.dataType, text, statement);
    }
    statement += ')';
    const Status inserted = ExecuteStatement(job, job.targetSession(), std::move(statement));
    if (inserted.ok()) {
      ++copied;
    } else {
      if (refused++ == 0) firstRefusal = inserted.message();
    }
    if (job.stopRequested()) {
      WriteLine(job, "Data Converting Terminated!");
      return "stopped after " + std::to_string(copied) + " values";
    }
  }
  if (refused > 0) {
    return std::to_string(refused) + " of " + std::to_string(copied + refused) +
           " values were not accepted by the target, the first because: " + firstRefusal;
  }
  WriteLine(job, "[%s] %ld values converted, conversion completed SUCCESSFULLY!", child.c_str(),
            copied);
  return {};
}

}  // namespace

bool MigrateComplexColumns(MigrationContext& job, Session* sourceSession,
                           const std::string& database, const std::string& table) {
  if (sourceSession == nullptr) return true;
  const Result<jet::TableDefinition> described = DescribeAccessTable(*sourceSession, table);
  if (!described.ok()) return true;  // no Access file: no complex columns
  const std::vector<jet::ColumnDefinition> complex = ComplexColumns(described.value());
  if (complex.empty()) return true;

  const std::vector<std::string> key = PrimaryKeyColumns(described.value());
  std::vector<ParentKeyColumn> keyColumns;
  std::string failure = key.empty() ? "the table has no primary key to tie them to"
                                    : KeyColumnTypes(*sourceSession, table, key,
                                                     job.migrationSettings().jetSource, keyColumns);
  ParentKeys parentKeys;
  if (failure.empty())
    failure = ReadParentKeys(job, sourceSession, database, table, key, complex, parentKeys);
  if (!failure.empty()) {
    for (const jet::ColumnDefinition& column : complex) {
      WriteLine(job, "E::[%s].[%s]: the values of the column were not migrated: %s", table.c_str(),
                column.name.c_str(), failure.c_str());
    }
    return false;
  }
  bool whole = true;
  for (std::size_t c = 0; c < complex.size(); ++c) {
    const std::string reason = MoveComplexColumn(job, *sourceSession, table, complex[c], keyColumns,
                                                 parentKeys.byColumn[c]);
    if (reason.empty()) continue;
    WriteLine(job, "E::[%s].[%s]: %s", table.c_str(), complex[c].name.c_str(), reason.c_str());
    whole = false;
  }
  return whole;
}

}  // namespace tablift
