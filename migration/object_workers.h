#pragma once

#include <string>

#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// Creates one MySQL view from an Access saved query; the statement is kept in
// "<view>.vw" in the current directory. True when the view was created or
// there was nothing to create.
bool MigrateView(MigrationContext& job, Session* sourceSession, std::string database,
                 std::string view);

// Creates every view of the source database, each after the views it reads,
// stopping between views when asked. A view the server refuses is tried again
// while others still arrive; every view that did not arrive is reported once,
// its reason right before its failure line. Returns the number of views that
// failed, or -1 when the view list cannot be opened.
int MigrateAllViews(MigrationContext& job, Session* sourceSession, std::string database);

// Adds the relationships of every table of the source database as FOREIGN
// KEY constraints, appending the statements to each table's cache file.
// Returns the number of statements that failed, or -1 when the table list
// cannot be opened.
int MigrateRelationships(MigrationContext& job, Session* sourceSession, std::string database);

}  // namespace tablift
