#include "translate/cluster_row_key.h"

#include "data_access/ascii_text.h"
#include "mysql/sql_literals.h"

namespace tablift {

std::string ClusterRowKeyColumn(std::string_view createStatement) {
  const std::string statement = ToLowerAscii(createStatement);
  std::string column = "tablift_row_id";
  for (int suffix = 2; statement.find(ToLowerAscii(QuoteIdentifier(column))) != std::string::npos;
       ++suffix) {
    column = "tablift_row_id_" + std::to_string(suffix);
  }
  return column;
}

std::string ClusterRowKeyStatement(std::string_view table, std::string_view column,
                                   bool tableNumbersRows) {
  const std::string quoted = QuoteIdentifier(column);
  const std::string numbering = tableNumbersRows ? "DEFAULT UUID_SHORT()" : "AUTO_INCREMENT";
  return "ALTER TABLE " + QuoteIdentifier(table) + " ADD COLUMN " + quoted +
         " BIGINT UNSIGNED NOT NULL " + numbering + " INVISIBLE, ADD PRIMARY KEY (" + quoted + ")";
}

}  // namespace tablift
