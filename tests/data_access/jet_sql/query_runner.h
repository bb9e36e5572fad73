#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data_access/jet/sql/query_executor.h"
#include "tests/data_access/jet_sql/memory_catalog.h"

namespace tablift::jet::testing {

// Everything a statement produced: the result code of the execution (or of
// the first failing row), the columns, the rows read before any failure, and
// the description of the error object left behind.
struct QueryOutput {
  HResult code = S_OK;
  std::vector<ResultColumn> columns;
  std::vector<Row> rows;
  std::string error;
};

QueryOutput RunQuery(TableCatalog& catalog, std::string_view sql);
QueryOutput RunQuery(TableCatalog& catalog, std::string_view sql,
                     const QueryParameters& parameters);

// The value of one expression over the single row of table One of the
// sample catalog ("select <expression> from One"); a failure is reported to
// the test and gives the text "<failed: message>".
Value Eval(const std::string& expression);
// The error message evaluating the expression gives, "" when it succeeds.
std::string EvalError(const std::string& expression);

}  // namespace tablift::jet::testing
