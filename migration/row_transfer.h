#pragma once

#include <string>
#include <string_view>

#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// How the rows of one table ended.
enum class RowsOutcome {
  Transferred,  // every row of the table arrived in the target table
  Stopped,      // a stop request ended the rows early: every row read arrived,
                // but the table holds only part of them
  NotRead,      // nothing could be read: a session is absent, the table name
                // cannot be written in Access SQL, the migration condition was
                // refused or the SELECT failed (the reason is in the log)
  Incomplete,   // rows were read but did not all arrive
};

struct RowTransfer {
  RowsOutcome outcome = RowsOutcome::NotRead;
  // Why not every row arrived: the text of the "E::" line that says so, or
  // "RESULT: The operation completed SUCCESSFULLY" when the SELECT gave no
  // rowset; empty otherwise.
  std::string reason{};
  // The rows read from Access, and of them those the target refused (or that
  // could not be sent) and those it keeps.
  std::int64_t rowsRead = 0;
  std::int64_t rowsRefused = 0;
  std::int64_t rowsWritten = 0;

  bool operator==(RowsOutcome other) const { return outcome == other; }
};

// Copies the rows of Access table `tableName` of `databaseName` into the
// target table of the same name, which the table worker has just created on
// the target's current database:
// - reads "select * from [<table>]", narrowed by " where " and the table's
//   migration condition from the condition file (section `databaseName`, key
//   `tableName`) when it has one;
// - renders every row as one INSERT statement with MySQL literals (NULL,
//   escaped strings, X'...' bytes, unquoted numbers, 1/0 for Yes/No), long
//   values read whole;
// - writes each statement as one line of the script "<table>.data" (a safe
//   file name) in the settings' cache folder;
// - when asked for (TABLIFT_LOAD_DATA=1), on a transactional engine over a
//   utf8mb4 connection, sends the rows
//   through the server's bulk load (LOAD DATA LOCAL INFILE) in pieces, inside
//   one transaction, while the next rows are read (LoadDataStream); a piece
//   the server warns about or refuses is rolled back and sent as INSERTs;
// - elsewhere sends the rows to the target in batches sized under the
//   server's max_allowed_packet (a prepared INSERT with parameter arrays, or
//   a multi-row INSERT), inside one transaction on a transactional engine,
//   while the next rows are read (BulkInsert); a batch the target rejects is
//   sent again row by row, so that exactly the rejected rows are counted;
// - writes "[<table>] <n> records converted!" every 2000 rows, and after the
//   rows "[<table>] <n> records converted, conversion completed SUCCESSFULLY!"
//   when all of them arrived;
// - stops after the current row when the controller's stop is requested
//   ("Data Converting Terminated!"); the rows read up to then still arrive.
//
// Incomplete names its first reason: rows the target rejected (how many, and
// the server's reason for the first), a transaction the target would not
// commit, a row the source could not deliver (the provider's text), or a
// script file that could not be written. The table worker counts only
// Transferred as a transferred table; every other outcome makes its task
// FAILURE.
//
// `after`, when given, reads only the rows whose integer key column is above
// a value, in key order: a resumed table continues after its highest key.
struct RowsAfterKey {
  std::string column;  // the source column
  std::string value;   // an integer literal
};
RowTransfer TransferRows(MigrationContext& job, Session* sourceSession, Session* targetSession,
                         std::string databaseName, std::string tableName,
                         const RowsAfterKey* after = nullptr);

}  // namespace tablift
