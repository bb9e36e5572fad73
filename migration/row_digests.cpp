#include "migration/row_digests.h"

#include <functional>

#include "data_access/text_query.h"
#include "migration/table_verification.h"
#include "mysql/sql_literals.h"

namespace tablift {

void AppendComparable(const std::string& comparable, std::string& row) {
  row += std::to_string(comparable.size());
  row += ':';
  row += comparable;
}

RowDigests ReadDigests(Session* session, const std::string& sql,
                       const std::vector<ColumnInfo>& columns, bool atOrdinals, ValueForm form) {
  if (form == nullptr) form = ComparableValue;
  RowDigests result;
  const PropertySet properties = QueryRowsetProperties();
  std::string fetchFailure;
  std::string row;
  const std::string failure = RunTextQuery(
      session, sql, &properties,
      [&](const TextRow& current) {
        row.clear();
        for (std::size_t k = 1; k <= columns.size(); ++k) {
          ColumnValue value;
          if (Failed(current.fullValue(atOrdinals ? columns[k - 1].ordinal : k, value))) {
            result.error = "column " + columns[k - 1].name + " cannot be read";
            return false;
          }
          const std::string comparable = form(columns[k - 1], value);
          AppendComparable(comparable, row);
        }
        result.digests.push_back(std::hash<std::string>{}(row));
        return true;
      },
      {}, &fetchFailure);
  if (result.error.empty()) result.error = !failure.empty() ? failure : fetchFailure;
  return result;
}

std::uint64_t Unmatched(const std::vector<std::size_t>& a, const std::vector<std::size_t>& b) {
  std::uint64_t unmatched = 0;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i] == b[j]) {
      ++i;
      ++j;
    } else if (a[i] < b[j]) {
      ++unmatched;
      ++i;
    } else {
      ++unmatched;
      ++j;
    }
  }
  return unmatched + (a.size() - i) + (b.size() - j);
}

std::string TargetQuery(const std::string& table, const std::vector<ColumnInfo>& columns,
                        NameRule rule) {
  std::string sql = "select ";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) sql += ", ";
    const std::string name = QuoteIdentifier(MySqlName(columns[i].name, rule));
    sql += columns[i].type == DBTYPE_BYTES ? "hex(" + name + ")" : name;
  }
  return sql + " from " + QuoteIdentifier(MySqlName(table, rule));
}

}  // namespace tablift
