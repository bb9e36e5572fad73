#pragma once

#include <string>

#include "translate/mysql_names.h"

namespace tablift {

// The statements that turn a column holding the values Access stored for a
// calculated field into a column MySQL computes from the field's expression,
// once the rows are in: a stored generated column is added beside it, the
// two are compared, and only when every row agrees does the generated column
// take the place (and name) of the stored one.
struct GeneratedColumnStatements {
  bool ok = false;
  std::string problem;      // why the expression cannot be computed by MySQL
  std::string add;          // adds the generated column after the stored one
  std::string disagreeing;  // counts the rows where the two differ
  std::string replace;      // drops the stored column, renames the generated one
  std::string dropAdded;    // takes the generated column away again
};

// `mysqlType` is the column's MySQL type; names are spelt by `rule`.
GeneratedColumnStatements BuildGeneratedColumnStatements(const std::string& table,
                                                         const std::string& column,
                                                         const std::string& mysqlType,
                                                         const std::string& expression,
                                                         NameRule rule);

}  // namespace tablift
