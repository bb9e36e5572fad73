#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/session.h"

namespace tablift {

class JobContext;

// How rows are loaded into one target table, and what the load changed on the
// session so that it can be put back.
struct TableLoad {
  std::string table;
  // The table's engine keeps transactions: the rows go in one transaction,
  // and a rejected multi-row INSERT leaves nothing of itself behind.
  bool transactional = false;
  // The largest multi-row INSERT to send, in bytes of statement text: under
  // the server's max_allowed_packet.
  std::size_t statementBytes = 0;
  // The most bytes one exchange with the server may carry (its
  // max_allowed_packet less a margin): several statements' values sent in
  // one execution must fit.
  std::size_t exchangeBytes = 0;
  // On a replicating cluster, the most rows and statement bytes one
  // transaction may carry: the sender commits and begins a new transaction
  // before a piece would exceed them. 0 = no limit (one transaction).
  std::size_t commitEveryRows = 0;
  std::size_t commitEveryBytes = 0;
  // The rows the table held when the load began; -1 when unknown. On a
  // table without transactions it tells which rows of a rejected statement
  // the server kept.
  long long rowsBefore = -1;
  // The session's sql_mode before the load, when the load made it stricter.
  std::string restoreSqlMode;
  bool inTransaction = false;
  // For each of the table's columns, in its order, whether it is DATETIME;
  // empty when unknown.
  std::vector<bool> dateTimeColumns;
  // The table's non-unique indexes are left to be built once, after the rows.
  bool keysDisabled = false;
  // Why they could not be built again after the rows; empty when they were.
  std::string keysFailure;
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
//   server stops at the bad row, as it does for a single row;
// - on an empty MyISAM or Aria table, disables its non-unique indexes
//   ("alter table ... disable keys"): the server then builds them once, by
//   sorting, after the rows, instead of row by row. Unique indexes and the
//   primary key stay on, so a duplicate is still refused on its own row.
//   (InnoDB's own bulk path, unique_checks=0 with foreign_key_checks=0 on an
//   empty table, is not taken: there a rejected statement takes every row
//   of the transaction with it, and the rows cannot be sent again.)
// Never fails: what cannot be read is taken the cautious way (not
// transactional, the smallest statement size).
TableLoad BeginTableLoad(JobContext& job, Session* session, std::string_view table);

// Ends the load, whatever happened during it: commits the transaction,
// builds the disabled indexes again (`load.keysFailure` says why they could
// not be) and restores the sql_mode. Returns "" or why the rows did not
// persist (the commit was refused).
std::string EndTableLoad(JobContext& job, Session* session, TableLoad& load);

// The number of rows the table holds now; -1 when it cannot be read.
long long CountTableRows(Session* session, std::string_view table);

}  // namespace tablift
