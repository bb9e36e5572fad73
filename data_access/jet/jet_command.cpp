#include "data_access/jet/jet_command.h"

#include "data_access/error_info.h"
#include "data_access/jet/database_tables.h"
#include "data_access/jet/provider_boundary.h"
#include "data_access/jet/query_rowset.h"
#include "data_access/jet/sql/query_executor.h"

namespace tablift::jet {

HResult JetCommand::setText(std::string_view text) {
  return AtBoundary([&] {
    text_ = std::string(text);
    hasText_ = true;
    return S_OK;
  });
}

HResult JetCommand::execute(std::unique_ptr<ProviderRowset>& rowset, std::int64_t& rowsAffected) {
  return AtBoundary([&]() -> HResult {
    rowset.reset();
    rowsAffected = -1;
    if (!hasText_) {
      PostJetError("Command text was not set for the command object.");
      return DB_E_NOCOMMAND;
    }
    auto tables = std::make_shared<DatabaseTables>(database_);
    std::unique_ptr<QueryResult> result;
    ClearThreadErrorObject();
    const HResult executed = ExecuteJetQuery(*tables, text_, parameters_, result);
    if (Failed(executed) || !result) {
      // The executor describes what it rejected; make sure there is always a
      // description to report.
      if (std::optional<ErrorObject> error = TakeThreadErrorObject()) {
        SetThreadErrorObject(std::move(*error));
      } else {
        PostJetError("The statement could not be run.");
      }
      return Failed(executed) ? executed : E_FAIL;
    }
    auto started = std::make_unique<QueryRowset>(std::move(result), std::move(tables));
    const HResult first = started->start();
    if (Failed(first)) return first;
    rowset = std::move(started);
    return S_OK;
  });
}

}  // namespace tablift::jet
