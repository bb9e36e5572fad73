#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "data_access/session.h"

namespace tablift {

class Workbench;

// How rows are loaded into one target table, and what the load changed on the
// session so that it can be put back.
struct TableLoad {
  // The table's engine keeps transactions: the rows go in one transaction,
  // and a rejected multi-row INSERT leaves nothing of itself behind.
  bool transactional = false;
  // The largest multi-row INSERT to send, in bytes of statement text: under
  // the server's max_allowed_packet.
  std::size_t statementBytes = 0;
  // The session's sql_mode before the load, when the load made it stricter.
  std::string restoreSqlMode;
  bool inTransaction = false;
};

// Upper bound of one multi-row INSERT, chosen by measurement: larger
// statements bring no more speed, only more memory. The environment variable
// TABLIFT_INSERT_BATCH_BYTES overrides it (smaller batches make the fallback
// to single rows easy to exercise).
inline constexpr std::size_t kInsertBatchBytes = 256 * 1024;

// Prepares the session for loading `table` (of its current database):
// - on a transactional engine, starts a transaction;
// - on any other engine, when the session's sql_mode has STRICT_TRANS_TABLES
//   only, adds STRICT_ALL_TABLES: without it the server adjusts a bad value in
//   the second or later row of a multi-row INSERT into such a table with a
//   mere warning, where the same row on its own is rejected. With it, the
//   server stops at the bad row, as it does for a single row.
// Never fails: what cannot be read is taken the cautious way (not
// transactional, the smallest statement size).
TableLoad BeginTableLoad(Workbench& window, Session* session, std::string_view table);

// Ends the load: commits the transaction and restores the sql_mode. Returns ""
// or why the rows did not persist (the commit was refused).
std::string EndTableLoad(Workbench& window, Session* session, TableLoad& load);

// The number of rows the table holds now; -1 when it cannot be read.
long long CountTableRows(Session* session, std::string_view table);

}  // namespace tablift
