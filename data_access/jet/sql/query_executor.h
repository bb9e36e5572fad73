#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/jet_value.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

// One column of a query's result. Expressions that are not plain columns get
// the type of their value (Text for strings, Double for arithmetic, Long for
// count(*)) and Access's "Expr1000" style names unless aliased.
struct ResultColumn {
  std::string name;
  JetType type = JetType::Text;
  std::size_t size = 0;
  std::uint8_t precision = 0;
  std::uint8_t scale = 0;
};

// A running query: its columns, then its rows one at a time. Rows stream from
// the tables; nothing holds a whole table.
class QueryResult {
 public:
  virtual ~QueryResult() = default;
  virtual const std::vector<ResultColumn>& columns() const = 0;
  // S_OK with the next row (one value per column), DB_S_ENDOFROWSET after the
  // last, or a failure with an error object posted (a value that cannot be
  // computed, a damaged table).
  virtual HResult next(std::vector<Value>& row) = 0;
};

// Parses an Access SQL SELECT statement and starts it over the catalog's
// tables. A syntax error or an unknown table, column or function gives
// DB_E_ERRORSINCOMMAND with an error object whose description points at the
// problem; `result` is then empty.
HResult ExecuteJetQuery(TableCatalog& catalog, std::string_view sql,
                        std::unique_ptr<QueryResult>& result);

}  // namespace tablift::jet
