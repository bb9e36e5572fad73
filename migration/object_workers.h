#pragma once

#include <string>

#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// Creates the MySQL object of one Access saved query (a view, or a
// procedure for a query with parameters and for an action); the statement is
// kept in "<query>.vw" in the migration's cache folder. True when the object
// was created or there was nothing to create.
bool MigrateView(MigrationContext& job, Session* sourceSession, std::string database,
                 std::string view);

// Creates the MySQL object of every saved query of the source database: the
// views, each after the views it reads, then the procedures, stopping between
// queries when asked. A view the server refuses is tried again while others
// still arrive. Every query that does not become an object is reported once,
// its "E::" reason right before its failure line; a pass-through query is
// kept in the cache folder, not run. Ends with the line "Queries: V views, P
// procedures, L left out". Returns the number of queries left out, or -1 when
// the query list cannot be opened.
int MigrateAllViews(MigrationContext& job, Session* sourceSession, std::string database);

// Adds the relationships of every table of the source database as FOREIGN
// KEY constraints, appending the statements to each table's cache file.
// Returns the number of statements that failed, or -1 when the table list
// cannot be opened.
int MigrateRelationships(MigrationContext& job, Session* sourceSession, std::string database);

}  // namespace tablift
