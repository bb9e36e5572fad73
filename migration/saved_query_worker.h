#pragma once

#include <string>

#include "translate/query_object.h"

namespace tablift {

class MigrationContext;
class Session;

// One saved query on its way to the MySQL side: what it is to become and how
// far it got. A statement the server refused keeps the server's reason, so
// that it can be tried again once the objects it reads exist, and its
// failure be reported once, with that reason.
struct QueryAttempt {
  enum class Outcome {
    Pending,  // translated, not yet sent
    Created,  // the server took it
    Nothing,  // there is no such query
    LeftOut,  // it does not become an object; the log says why
    Refused,  // the server refused its statement
  };
  Outcome outcome = Outcome::Nothing;
  QueryObjectType type = QueryObjectType::View;
  std::string statement;
  std::string reason;
};

// Reads the saved query, composes its MySQL object and keeps the statement
// in "<query>.vw" in the migration's cache folder. A pass-through query's
// SQL is kept in "<query>.passthrough.sql" there, not run. A query that does
// not become an object is LeftOut after one "E::" line naming it and what
// stopped it.
QueryAttempt PrepareQuery(MigrationContext& job, Session* sourceSession,
                          const std::string& database, const std::string& query);

// Sends a Pending or Refused statement; the attempt becomes Created or
// Refused (with the server's text).
void SendQuery(MigrationContext& job, QueryAttempt& attempt);

// The outcome's log lines: "Create VIEW [q] SUCCESSFULLY!!!" (PROCEDURE for
// procedures), or for a refused statement an "E::" line with the server's
// text before "Create VIEW [q] failure!!!".
void ReportQuery(MigrationContext& job, const std::string& query, const QueryAttempt& attempt);

}  // namespace tablift
