#include "access/access_table_details.h"

#include "data_access/error_texts.h"
#include "data_access/jet/jet_database.h"
#include "data_access/jet/jet_provider.h"

namespace tablift {

Result<jet::TableDefinition> DescribeAccessTable(Session& session, const std::string& table) {
  const std::shared_ptr<jet::JetDatabase> database = JetDatabaseOf(session);
  if (!database) return Status::Failure("not an Access file");
  jet::TableDefinition definition;
  const HResult described = database->describeTable(table, definition);
  if (Failed(described)) return Status::Failure(DescribeStepFailure(described, "Describe table"));
  return definition;
}

std::vector<jet::ColumnDefinition> ComplexColumns(const jet::TableDefinition& table) {
  std::vector<jet::ColumnDefinition> complex;
  for (const jet::ColumnDefinition& column : table.columns) {
    if (column.complexKind != jet::ComplexKind::None) complex.push_back(column);
  }
  return complex;
}

std::set<std::string> ComplexColumnNames(Session& session, const std::string& table) {
  std::set<std::string> names;
  const Result<jet::TableDefinition> described = DescribeAccessTable(session, table);
  if (!described.ok()) return names;
  for (const jet::ColumnDefinition& column : ComplexColumns(described.value()))
    names.insert(column.name);
  return names;
}

bool IsComplexColumn(const jet::TableDefinition& table, const std::string& name) {
  for (const jet::ColumnDefinition& column : table.columns) {
    if (column.name == name) return column.complexKind != jet::ComplexKind::None;
  }
  return false;
}

std::vector<std::string> PrimaryKeyColumns(const jet::TableDefinition& table) {
  std::vector<std::string> names;
  for (const jet::IndexDefinition& index : table.indexes) {
    if (!index.primaryKey) continue;
    for (const jet::IndexColumn& column : index.columns)
      names.push_back(column.name);
    break;
  }
  return names;
}

Result<std::vector<jet::ComplexValue>> ComplexColumnValues(Session& session,
                                                           const std::string& table,
                                                           const std::string& column) {
  const std::shared_ptr<jet::JetDatabase> database = JetDatabaseOf(session);
  if (!database) return Status::Failure("not an Access file");
  std::vector<jet::ComplexValue> values;
  const HResult read = database->complexValues(table, column, values);
  if (Failed(read)) return Status::Failure(DescribeStepFailure(read, "Read complex values"));
  return values;
}

}  // namespace tablift
