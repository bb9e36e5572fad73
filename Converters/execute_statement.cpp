#include "Converters/execute_statement.h"

#include <exception>

#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/command.h"
#include "data_access/error_texts.h"
#include "data_access/text_query.h"

namespace tablift {

bool ExecuteStatement(Workbench& window, Session* session, std::string sql, int report,
                      std::string* failure) {
  if (failure != nullptr) failure->clear();
  if (session == nullptr || !session->isOpen()) {
    WriteLine(window, "E::%s", kNoConnection);
    if (failure != nullptr) *failure = kNoConnection;
    return false;
  }
  try {
    const PropertySet properties = StatementRowsetProperties();
    Command command;
    HResult result = command.create(*session, sql);
    if (!Failed(result)) result = command.open(&properties);
    if (Failed(result)) {
      if (report == 1 || failure != nullptr) {
        // The error object can be read once: one text serves both.
        const std::string text = DescribeOleDbError(&command, InterfaceId::ICommandPrepare);
        if (report == 1) WriteLine(window, "T::%s", text.c_str());
        if (failure != nullptr) *failure = text;
      }
      return false;
    }
    // A query's rows are not read: the rowset is released with the command.
    if (!command.rowset().isOpen() && report == 1) WriteLine(window, "%s", kStatementSucceeded);
    return true;
  } catch (const std::exception& error) {
    // Whatever was thrown, the statement cannot be taken as accepted.
    if (report == 1) WriteLine(window, "E::%s", error.what());
    if (failure != nullptr) *failure = error.what();
    return false;
  } catch (...) {
    if (failure != nullptr) *failure = "Unknown Error!";
    return false;
  }
}

}  // namespace tablift
