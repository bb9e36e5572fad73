#pragma once

#include <string>

#include "core/status.h"
#include "data_access/session.h"

namespace tablift {

class JobContext;

// Whether a statement's outcome goes to the log.
enum class Report {
  Quiet,    // only a missing session is logged
  Outcome,  // "RESULT: The operation completed SUCCESSFULLY" for a statement
            // without rows, "T::" and the provider's text for a failure
};

// Runs one SQL text on a session. A statement with rows writes nothing and its
// rows are not read. A missing session always writes "E::No Connection!". A
// statement that throws counts as failed. The failure carries the provider's
// text (the reason the statement was not accepted).
Status ExecuteStatement(JobContext& job, Session* session, std::string sql,
                        Report report = Report::Quiet);

}  // namespace tablift
