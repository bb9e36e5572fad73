#include "translate/cluster_row_key.h"

#include <algorithm>
#include <cctype>

#include "mysql/sql_literals.h"

namespace tablift {
namespace {

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered;
}

}  // namespace

std::string ClusterRowKeyColumn(std::string_view createStatement) {
  const std::string statement = Lowered(createStatement);
  std::string column = "tablift_row_id";
  for (int suffix = 2; statement.find(Lowered(QuoteIdentifier(column))) != std::string::npos;
       ++suffix) {
    column = "tablift_row_id_" + std::to_string(suffix);
  }
  return column;
}

std::string ClusterRowKeyStatement(std::string_view table, std::string_view column) {
  const std::string quoted = QuoteIdentifier(column);
  return "ALTER TABLE " + QuoteIdentifier(table) + " ADD COLUMN " + quoted +
         " BIGINT UNSIGNED NOT NULL AUTO_INCREMENT INVISIBLE, ADD PRIMARY KEY (" + quoted + ")";
}

}  // namespace tablift
