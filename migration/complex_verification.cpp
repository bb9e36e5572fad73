#include "migration/complex_verification.h"

#include <algorithm>
#include <functional>

#include "access/access_table_details.h"
#include "data_access/jet/value_text.h"
#include "migration/complex_parent_keys.h"
#include "migration/migration_context.h"
#include "migration/row_digests.h"
#include "translate/complex_table_shape.h"

namespace tablift {
namespace {

RowComparison CompareColumn(Session& source, Session* target, const std::string& table,
                            const jet::ColumnDefinition& column, const ParentKeys& parents,
                            const std::unordered_map<std::int64_t, ParentRow>& parentRows,
                            NameRule rule) {
  RowComparison comparison;
  const std::vector<ComplexValueColumn> shape = ComplexValueColumns(column);
  std::vector<ColumnInfo> columns = parents.keyColumns;
  for (const ComplexValueColumn& value : shape) {
    ColumnInfo info;
    info.name = value.name;
    info.type = value.row.dataType;
    columns.push_back(info);
  }
  const Result<std::vector<jet::ComplexValue>> values =
      ComplexColumnValues(source, table, column.name);
  if (!values.ok()) {
    comparison.error = "Access: " + values.message();
    return comparison;
  }
  std::vector<std::size_t> sourceDigests;
  ColumnValue text;
  std::string row;
  for (const jet::ComplexValue& value : values.value()) {
    const auto parent = parentRows.find(value.key);
    if (parent == parentRows.end()) continue;
    row = parent->second.comparable;
    const std::vector<jet::Value> fields = ComplexRowValues(column.complexKind, value);
    for (std::size_t i = 0; i < shape.size() && i < fields.size(); ++i) {
      jet::ValueText(fields[i], shape[i].type, text);
      AppendComparable(ComparableValue(columns[parents.keyColumns.size() + i], text), row);
    }
    sourceDigests.push_back(std::hash<std::string>{}(row));
  }
  RowDigests targetDigests = ReadDigests(
      target, TargetQuery(ComplexTableAccessName(table, column), columns, rule), columns, false);
  if (!targetDigests.error.empty()) {
    comparison.error = "MySQL: " + targetDigests.error;
    return comparison;
  }
  comparison.sourceRows = sourceDigests.size();
  comparison.targetRows = targetDigests.digests.size();
  std::sort(sourceDigests.begin(), sourceDigests.end());
  std::sort(targetDigests.digests.begin(), targetDigests.digests.end());
  comparison.differingRows = Unmatched(sourceDigests, targetDigests.digests);
  return comparison;
}

}  // namespace

std::vector<ComplexTableComparison> VerifyComplexColumns(MigrationContext& job,
                                                         Session* sourceSession,
                                                         Session* targetSession,
                                                         const std::string& database,
                                                         const std::string& table) {
  std::vector<ComplexTableComparison> comparisons;
  if (sourceSession == nullptr) return comparisons;
  const Result<jet::TableDefinition> described = DescribeAccessTable(*sourceSession, table);
  if (!described.ok()) return comparisons;
  const std::vector<jet::ColumnDefinition> complex = ComplexColumns(described.value());
  if (complex.empty()) return comparisons;
  const NameRule rule = job.migrationSettings().nameRule;

  const std::vector<std::string> key = PrimaryKeyColumns(described.value());
  ParentKeys parents;
  std::string failure = key.empty() ? "the table has no primary key to tie them to" : "";
  if (failure.empty())
    failure = ReadParentKeys(job, sourceSession, database, table, key, complex, parents);
  for (std::size_t c = 0; c < complex.size(); ++c) {
    ComplexTableComparison comparison;
    comparison.table = MySqlName(ComplexTableAccessName(table, complex[c]), rule);
    if (!failure.empty()) {
      comparison.rows.error = "Access: " + failure;
    } else {
      comparison.rows = CompareColumn(*sourceSession, targetSession, table, complex[c], parents,
                                      parents.byColumn[c], rule);
    }
    comparisons.push_back(std::move(comparison));
  }
  return comparisons;
}

}  // namespace tablift
