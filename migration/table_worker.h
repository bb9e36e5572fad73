#pragma once

#include <string>

#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// What MigrateTable returns.
enum TableMigration : int {
  kTableMigrated = 1,        // created, with its keys, indexes and every row
  kTableIncomplete = 0,      // created, but a key, an index or rows did not arrive
  kTableNotCreated = -1,     // no CREATE TABLE statement, or the server refused it
  kTableCacheFileError = -2  // the table's cache file could not be opened
};

// Moves one Access table into the target's current database: CREATE TABLE,
// primary key, unique indexes, rows. Keeps the statements in the table's cache
// file (named after the table) in the current directory.
// Each table, with its rows, time and outcome, and each key is recorded for
// the run's summary when the context keeps one.
int MigrateTable(MigrationContext& job, Session* sourceSession, std::string database,
                 std::string table);

// Moves every table of the source database (the temporary tables Access left
// behind are left out, each with a line), stopping between tables when
// asked, then the relationships of the database (also after a stop). Returns the number of tables
// that did not arrive whole, or -1 when the table list cannot be opened.
int MigrateAllTables(MigrationContext& job, Session* sourceSession, std::string database);

}  // namespace tablift
