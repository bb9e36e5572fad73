#include "Converters/execute_statement.h"

#include <exception>

#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/command.h"
#include "data_access/error_texts.h"
#include "data_access/text_query.h"

namespace tablift {

bool ExecuteStatement(Workbench& window, Session* session, std::string sql, int report) {
  if (session == nullptr || !session->isOpen()) {
    WriteLine(window, "E::%s", kNoConnection);
    return false;
  }
  try {
    const PropertySet properties = StatementRowsetProperties();
    Command command;
    HResult result = command.create(*session, sql);
    if (!Failed(result)) result = command.open(&properties);
    if (Failed(result)) {
      if (report == 1) {
        WriteLine(window, "T::%s",
                  DescribeOleDbError(&command, InterfaceId::ICommandPrepare).c_str());
      }
      return false;
    }
    // A query's rows are not read: the rowset is released with the command.
    if (!command.rowset().isOpen() && report == 1) WriteLine(window, "%s", kStatementSucceeded);
    return true;
  } catch (const std::exception& error) {
    // Whatever was thrown, the statement cannot be taken as accepted.
    if (report == 1) WriteLine(window, "E::%s", error.what());
    return false;
  } catch (...) {
    return false;
  }
}

}  // namespace tablift
