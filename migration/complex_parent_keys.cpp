#include "migration/complex_parent_keys.h"

#include "access/source_rows_query.h"
#include "data_access/text_query.h"
#include "migration/migration_context.h"
#include "migration/row_digests.h"
#include "migration/table_verification.h"
#include "mysql/value_literals.h"

namespace tablift {

std::string ReadParentKeys(MigrationContext& job, Session* session, const std::string& database,
                           const std::string& table, const std::vector<std::string>& key,
                           const std::vector<jet::ColumnDefinition>& complex, ParentKeys& keys) {
  std::string query;
  const std::string refused =
      SourceRowsQuery(job, job.migrationSettings().conditionFile, database, table, query);
  if (!refused.empty()) return refused;
  std::vector<ColumnInfo>& keyColumns = keys.keyColumns;
  keyColumns.clear();
  std::vector<std::size_t> complexOrdinals(complex.size(), 0);
  keys.byColumn.assign(complex.size(), {});
  std::string readFailure;
  std::string fetchFailure;
  ColumnValue value;
  ParentRow parent;
  const PropertySet properties = QueryRowsetProperties();
  const std::string failure = RunWholeValueQuery(
      session, query, &properties,
      [&](const TextRow& row) {
        parent.literals.clear();
        parent.comparable.clear();
        for (std::size_t i = 0; i < keyColumns.size(); ++i) {
          if (Failed(row.fullValue(keyColumns[i].ordinal, value))) {
            readFailure = "key column " + keyColumns[i].name + " cannot be read";
            return false;
          }
          if (i > 0) parent.literals += ',';
          AppendValueLiteral(keyColumns[i].type, value, parent.literals);
          AppendComparable(ComparableValue(keyColumns[i], value), parent.comparable);
        }
        for (std::size_t c = 0; c < complex.size(); ++c) {
          if (Failed(row.fullValue(complexOrdinals[c], value))) {
            readFailure = "column " + complex[c].name + " cannot be read";
            return false;
          }
          if (!value.null) keys.byColumn[c][std::stoll(value.text)] = parent;
        }
        return true;
      },
      [&](const std::vector<ColumnInfo>& columns) {
        for (const std::string& name : key) {
          for (const ColumnInfo& column : columns) {
            if (column.ordinal != 0 && column.name == name) keyColumns.push_back(column);
          }
        }
        for (std::size_t c = 0; c < complex.size(); ++c) {
          for (const ColumnInfo& column : columns) {
            if (column.ordinal != 0 && column.name == complex[c].name)
              complexOrdinals[c] = column.ordinal;
          }
        }
        if (keyColumns.size() != key.size()) {
          readFailure = "the primary key's columns are not all in the table's rows";
          return false;
        }
        for (std::size_t c = 0; c < complex.size(); ++c) {
          if (complexOrdinals[c] == 0) {
            readFailure = "column " + complex[c].name + " is not in the table's rows";
            return false;
          }
        }
        return true;
      },
      &fetchFailure);
  if (!readFailure.empty()) return readFailure;
  if (!failure.empty()) return failure;
  return fetchFailure;
}

}  // namespace tablift
