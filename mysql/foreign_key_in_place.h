#pragma once

#include <string>

#include "core/status.h"
#include "data_access/session.h"
#include "mysql/execute_statement.h"

namespace tablift {

class JobContext;

// Runs an "Alter Table `t` ADD CONSTRAINT `c` FOREIGN KEY ..." statement on a
// table that already holds its rows, without copying the table when it can.
//
// Why: with foreign key checks on, InnoDB adds a constraint only by copying
// the whole table, so every relationship of a big table costs a rebuild (on a
// million-row sample most of a migration's time went there). With the checks
// off it only writes the dictionary, but then it also checks nothing: not the
// rows, not even that the referenced table exists. So the constraint is added
// unchecked and the server itself is then asked everything it would have
// checked: both tables InnoDB, the referenced columns leading an index of the
// referenced table, each pair of columns of the same type and collation, and
// no row whose key (all of it not NULL) is missing from the referenced table.
// Anything short of that takes the constraint (and the index made for it)
// back and runs the statement the checked way, so the outcome and the
// server's own reason for a refusal are what they always were.
//
// Any other statement, or a session where the checks are off already, is run
// as it is. The log gets what ExecuteStatement writes for `report`.
Status AddForeignKey(JobContext& job, Session* session, const std::string& statement,
                     Report report = Report::Quiet);

}  // namespace tablift
