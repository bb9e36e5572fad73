#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "data_access/session.h"
#include "mysql/table_load.h"

namespace tablift {

class JobContext;

// Sends the rows of one table to the target in batches of at most
// `load.statementBytes` bytes, on a thread of its own, so that the next rows
// are read while the server stores the previous ones. At most three batches
// exist at a time: the one being filled, one waiting and the one being sent;
// a sent batch's memory is used again for a later one.
//
// Where the provider binds parameter arrays, a batch travels as one prepared
// INSERT run for all its rows (the server parses the statement once, not once
// per row: about half the server's work of a multi-row INSERT); elsewhere as
// a multi-row INSERT statement.
//
// A batch the target rejects is sent again row by row, so that exactly the
// rows the target refuses are counted and every other row arrives (a
// rejected array behaves as a rejected multi-row INSERT does):
// - on a transactional table a rejected statement left nothing behind, and
//   every one of its rows is sent again;
// - on any other table the server stored the rows before the bad one; the
//   table's row count says how many, and the rest are sent again.
//
// Inside a transaction, with `load.commitEveryRows` or `commitEveryBytes`
// set, the sender commits and begins a new transaction before a statement
// would take the open one past them (a cluster's write-set limits), and a
// refused multi-row statement is undone to a savepoint before its rows are
// sent again. The rows of a piece whose commit is refused count as rejected.
class BulkInsert {
 public:
  // `table` is the target table's name, `columns` the number of values of a
  // row. On a table without transactions, when `load.rowsBefore` is unknown,
  // every row is sent on its own.
  BulkInsert(JobContext& job, Session* session, std::string_view table, const TableLoad& load,
             std::size_t columns);
  ~BulkInsert();
  BulkInsert(const BulkInsert&) = delete;
  BulkInsert& operator=(const BulkInsert&) = delete;

  // One row: the text between the parentheses of its INSERT ("1,'a',NULL"),
  // and the same values as parameters (ValueParameter), `columns` of them.
  void add(std::string_view values, const std::vector<ParameterValue>& parameters);
  // Sends what is left and waits until the target has answered for every row.
  void finish();

  // Whether the batches travel as parameter arrays.
  bool sendsArrays() const { return array_ != nullptr; }

  // Valid after finish().
  long rejected() const { return rejected_; }
  const std::string& firstRejection() const { return firstRejection_; }
  // The rows stored by the commits of earlier pieces: those the table keeps
  // even when the load's last commit is refused. 0 without pieces.
  long long committedRows() const { return committedRows_; }

 private:
  struct Batch {
    // A multi-row INSERT; with parameter arrays, the rows' literals one after
    // the other, kept for sending the rows one by one.
    std::string text;
    // Where each row's values lie in `text`.
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    // With parameter arrays: every row's values, and the same laid out for
    // the provider (or why they could not be).
    ParameterRows parameters;
    std::unique_ptr<StagedParameters> staged;
    std::string stageFailure;
  };

  // An empty batch, with the buffers of one sent before where there is one.
  Batch emptyBatch();
  void hand(Batch batch);
  // Hands the batch being filled over and starts a new one.
  void handFilling();
  void sendLoop();
  void send(Batch& batch);
  bool sendRow(std::string_view values);
  // Commits the open piece first when `rows` more rows of `bytes` bytes
  // would take it past the limits.
  void makeRoom(std::size_t rows, std::size_t bytes);

  JobContext& job_;
  Session* session_;
  std::string table_;
  std::string prefix_;  // "insert into `t` values ("
  std::size_t limit_;
  std::size_t columns_;
  bool transactional_;
  // Set when the provider prepared the INSERT for parameter arrays.
  std::unique_ptr<ProviderArrayInsert> array_;
  long long tableRows_;  // rows the table holds, on a table without transactions
  // Commit pieces: the limits (0 = none), what the open transaction was sent
  // and how many of its rows the server stored.
  std::size_t pieceRowLimit_ = 0;
  std::size_t pieceByteLimit_ = 0;
  std::size_t pieceRows_ = 0;
  std::size_t pieceBytes_ = 0;
  long long pieceStored_ = 0;
  long long committedRows_ = 0;

  Batch filling_;
  long rejected_ = 0;
  std::string firstRejection_;
  // Why the latest multi-row statement was refused; "" when it was not.
  std::string batchFailure_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Batch> pending_;
  // A sent batch, emptied, whose memory the next batch reuses.
  std::optional<Batch> spare_;
  bool closing_ = false;
  std::thread sender_;
};

}  // namespace tablift
