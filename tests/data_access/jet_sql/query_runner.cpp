#include "tests/data_access/jet_sql/query_runner.h"

#include <gtest/gtest.h>

#include "data_access/error_info.h"

namespace tablift::jet::testing {
namespace {

std::string TakeError() {
  std::optional<ErrorObject> error = TakeThreadErrorObject();
  return error ? error->own.description : std::string();
}

}  // namespace

QueryOutput RunQuery(TableCatalog& catalog, std::string_view sql) {
  return RunQuery(catalog, sql, QueryParameters{});
}

QueryOutput RunQuery(TableCatalog& catalog, std::string_view sql,
                     const QueryParameters& parameters) {
  ClearThreadErrorObject();
  QueryOutput output;
  std::unique_ptr<QueryResult> result;
  output.code = ExecuteJetQuery(catalog, sql, parameters, result);
  if (Failed(output.code)) {
    output.error = TakeError();
    return output;
  }
  output.columns = result->columns();
  // One row read into again and again, as the provider does: a value left
  // over from the row before shows as a wrong value.
  Row row;
  while (true) {
    const HResult code = result->next(row);
    if (code == DB_S_ENDOFROWSET) break;
    if (Failed(code)) {
      output.code = code;
      output.error = TakeError();
      break;
    }
    output.rows.push_back(row);
  }
  return output;
}

Value Eval(const std::string& expression) {
  static MemoryCatalog catalog = SampleCatalog();
  const QueryOutput output = RunQuery(catalog, "select " + expression + " from One");
  if (Failed(output.code) || output.rows.size() != 1) {
    ADD_FAILURE() << expression << ": " << output.error;
    return "<failed: " + output.error + ">";
  }
  return output.rows[0][0];
}

std::string EvalError(const std::string& expression) {
  static MemoryCatalog catalog = SampleCatalog();
  return RunQuery(catalog, "select " + expression + " from One").error;
}

}  // namespace tablift::jet::testing
