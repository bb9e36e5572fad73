#include "access/source_rows_query.h"

#include <optional>

#include "access/access_sql.h"
#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/profile_file.h"

namespace tablift {

std::string ConditionedQuery(std::string_view selectList, const std::string& table,
                             std::string_view condition, std::string& query,
                             std::string_view narrowing) {
  const std::optional<std::string> sourceName = BracketedAccessName(table);
  if (!sourceName) return "[" + table + "] is no table name Access SQL can read";
  const std::optional<std::string> single = SingleCondition(condition);
  if (!single) return "The condition of [" + table + "] holds a \";\"";
  std::string where;
  if (!single->empty() && !narrowing.empty()) {
    where = " where (" + *single + ") and (" + std::string(narrowing) + ")";
  } else if (!single->empty() || !narrowing.empty()) {
    where = " where " + (single->empty() ? std::string(narrowing) : *single);
  }
  query = std::string(selectList) + " from " + *sourceName + where;
  return {};
}

std::string SourceRowsQuery(JobContext& job, const std::filesystem::path& conditionFile,
                            const std::string& database, const std::string& table,
                            std::string& query, std::string_view narrowing) {
  const std::string stored = ReadProfileString(conditionFile, database, table, "");
  const std::string refused = ConditionedQuery("select *", table, stored, query, narrowing);
  if (refused.empty()) return {};
  if (BracketedAccessName(table)) {
    WriteLine(job, "E::%s and is not used: %s", refused.c_str(), stored.c_str());
  } else {
    WriteLine(job, "E::%s", refused.c_str());
  }
  return refused;
}

std::optional<std::string> KeyAboveCondition(const std::string& column, std::string_view value) {
  const std::optional<std::string> name = BracketedAccessName(column);
  if (!name) return std::nullopt;
  return *name + " > " + std::string(value);
}

std::optional<std::string> KeyOrder(const std::string& column) {
  const std::optional<std::string> name = BracketedAccessName(column);
  if (!name) return std::nullopt;
  return " order by " + *name;
}

}  // namespace tablift
