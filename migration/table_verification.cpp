#include "migration/table_verification.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <vector>

#include "access/access_table_details.h"
#include "access/source_rows_query.h"
#include "data_access/text_query.h"
#include "migration/complex_verification.h"
#include "migration/migration_context.h"
#include "migration/row_digests.h"
#include "mysql/sql_literals.h"
#include "translate/mysql_names.h"

namespace tablift {
namespace {

std::string WithoutTrailingZeros(std::string text) {
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0')
      text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string Real(const std::string& text, bool single) {
  char buffer[64];
  if (single) {
    std::snprintf(buffer, sizeof buffer, "%.9g",
                  static_cast<double>(std::strtof(text.c_str(), nullptr)));
  } else {
    std::snprintf(buffer, sizeof buffer, "%.17g", std::strtod(text.c_str(), nullptr));
  }
  // MySQL keeps no negative zero: -0 arrives as the 0 it equals.
  if (std::string(buffer) == "-0") return "0";
  return buffer;
}

// The source's columns (the bookmark and the complex columns, whose values
// have tables of their own, left out), from the query's result.
std::string ReadSourceColumns(Session* session, const std::string& table, const std::string& query,
                              std::vector<ColumnInfo>& columns) {
  const PropertySet properties = QueryRowsetProperties();
  const std::set<std::string> complex =
      session != nullptr ? ComplexColumnNames(*session, table) : std::set<std::string>{};
  return RunTextQuery(
      session, query, &properties, [](const TextRow&) { return false; },
      [&](const std::vector<ColumnInfo>& info) {
        for (const ColumnInfo& column : info) {
          if (column.ordinal != 0 && !complex.count(column.name)) columns.push_back(column);
        }
        return false;
      });
}

}  // namespace

std::string ComparableValue(const ColumnInfo& column, const ColumnValue& value) {
  if (value.null) return "NULL";
  switch (column.type) {
    case DBTYPE_BOOL:
      if (value.text == "True" || value.text == "-1") return "1";
      if (value.text == "False") return "0";
      return value.text;
    case DBTYPE_R4:
      return Real(value.text, true);
    case DBTYPE_R8:
      return Real(value.text, false);
    case DBTYPE_CY:
    case DBTYPE_NUMERIC:
    case DBTYPE_DECIMAL:
      return WithoutTrailingZeros(value.text);
    case DBTYPE_DBTIMESTAMP:
      // Access writes seven fraction digits, MySQL six: the same moment
      // compares equal, a dropped 100 ns digit that was not 0 does not.
      return "'" + WithoutTrailingZeros(value.text) + "'";
    default:
      return "'" + value.text + "'";
  }
}

TableVerification VerifyTable(MigrationContext& job, Session* sourceSession, Session* targetSession,
                              const std::string& database, const std::string& table) {
  TableVerification verification;
  std::string query;
  verification.error =
      SourceRowsQuery(job, job.migrationSettings().conditionFile, database, table, query);
  if (!verification.error.empty()) return verification;

  std::vector<ColumnInfo> columns;
  verification.error = ReadSourceColumns(sourceSession, table, query, columns);
  if (!verification.error.empty()) return verification;

  CompareRows(sourceSession, query, targetSession,
              TargetQuery(table, columns, job.migrationSettings().nameRule), columns, nullptr,
              verification);
  if (!verification.error.empty()) return verification;
  verification.complexTables =
      VerifyComplexColumns(job, sourceSession, targetSession, database, table);
  return verification;
}

}  // namespace tablift
