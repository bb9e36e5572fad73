#include "mysql/execute_statement.h"

#include <exception>

#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/command.h"
#include "data_access/error_texts.h"
#include "data_access/text_query.h"

namespace tablift {

Status ExecuteStatement(JobContext& job, Session* session, std::string sql, Report report) {
  if (session == nullptr || !session->isOpen()) {
    WriteLine(job, "E::%s", kNoConnection);
    return Status::Failure(kNoConnection);
  }
  const bool logged = report == Report::Outcome;
  try {
    const PropertySet properties = StatementRowsetProperties();
    Command command;
    HResult result = command.create(*session, sql);
    if (!Failed(result)) result = command.open(&properties);
    if (Failed(result)) {
      // The error object can be read once: one text serves the log and the caller.
      const std::string text = DescribeOleDbError(&command, InterfaceId::ICommandPrepare);
      if (logged) WriteLine(job, "T::%s", text.c_str());
      return Status::Failure(text);
    }
    // A query's rows are not read: the rowset is released with the command.
    if (!command.rowset().isOpen() && logged) WriteLine(job, "%s", kStatementSucceeded);
    return Status::Ok();
  } catch (const std::exception& error) {
    // Whatever was thrown, the statement cannot be taken as accepted.
    if (logged) WriteLine(job, "E::%s", error.what());
    return Status::Failure(error.what());
  } catch (...) {
    return Status::Failure("Unknown Error!");
  }
}

}  // namespace tablift
