#pragma once

#include <string>

#include "data_access/session.h"

namespace tablift {

class Workbench;

// Runs one SQL text on a session and says whether it was accepted. With
// `report` 1 the outcome is written: "RESULT: The operation completed
// SUCCESSFULLY" for a statement without rows, "T::" and the provider's text
// for a failure; a statement with rows writes nothing and its rows are not
// read. Any other `report` is quiet, except that a missing session always
// writes "E::No Connection!". A statement that throws counts as failed.
// `failure`, when given, receives the reason a statement was not accepted (the
// provider's text), also in quiet mode, and is emptied when it was accepted.
bool ExecuteStatement(Workbench& window, Session* session, std::string sql, int report,
                      std::string* failure = nullptr);

}  // namespace tablift
