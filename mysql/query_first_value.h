#pragma once

#include <string>
#include <string_view>

#include "core/status.h"
#include "data_access/session.h"
#include "mysql/execute_statement.h"

namespace tablift {

class JobContext;

// Runs one statement on `session` and returns the first value of its result
// that counts as an answer: looking at the first 100 rows, column by column,
// the first non-NULL value whose text does not read as a negative number
// (a count, a number, a name). Used for one-value questions such as the
// condition test's "select count(*) ...".
//
// With Report::Outcome every value looked at and a statement without rows
// write "RESULT: The operation completed SUCCESSFULLY" into the log; NULL
// values write "(NULL)" whatever `report` says.
//
// Failures, with their message:
// - no open session: the system error text of "No Connection!", also
//   written into the log;
// - the provider's error text when the statement cannot run, or when a row
//   of its result cannot be read before an answer was found (a broken read is
//   never taken for an empty result);
// - "RESULT: The operation completed SUCCESSFULLY" when the statement gave no
//   rowset or its rows held no answer.
Result<std::string> QueryFirstValue(JobContext& job, Session* session, std::string_view statement,
                                    Report report = Report::Quiet);

}  // namespace tablift
