#include "tests/translate/server_rows.h"

#include <gtest/gtest.h>

#include "data_access/text_query.h"
#include "tests/support/target_connection.h"

namespace tablift::test {

std::vector<std::string> ServerRows(Workbench& window, const std::string& sql) {
  std::vector<std::string> rows;
  const PropertySet properties = QueryRowsetProperties();
  const std::string failure = RunTextQuery(
      window.targetConnection().openSession(), sql, &properties, [&](const TextRow& row) {
        std::string line;
        for (std::size_t column = 1; column <= row.columnCount(); ++column) {
          ColumnValue value;
          if (column > 1) line += '|';
          if (Succeeded(row.fullValue(column, value))) line += value.null ? "NULL" : value.text;
        }
        rows.push_back(line);
        return true;
      });
  EXPECT_EQ(failure, "") << sql;
  return rows;
}

}  // namespace tablift::test
