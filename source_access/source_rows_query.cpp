#include "source_access/source_rows_query.h"

#include <optional>

#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/profile_file.h"
#include "source_access/access_sql.h"

namespace tablift {

std::string SourceRowsQuery(Workbench& window, const std::string& database,
                            const std::string& table, std::string& query) {
  const std::optional<std::string> sourceName = BracketedAccessName(table);
  if (!sourceName) {
    WriteLine(window, "E::[%s] is no table name Access SQL can read", table.c_str());
    return "[" + table + "] is no table name Access SQL can read";
  }
  const std::string stored = ReadProfileString(window.conditionFile(), database, table, "");
  const std::optional<std::string> condition = SingleCondition(stored);
  if (!condition) {
    WriteLine(window, "E::The condition of [%s] holds a \";\" and is not used: %s", table.c_str(),
              stored.c_str());
    return "The condition of [" + table + "] holds a \";\"";
  }
  query = "select * from " + *sourceName + (condition->empty() ? "" : " where " + *condition);
  return {};
}

}  // namespace tablift
