#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "data_access/session.h"
#include "target_mysql/table_load.h"

namespace tablift {

class Workbench;

// Sends the rows of one table to the target as multi-row INSERT statements of
// at most `load.statementBytes` bytes, on a thread of its own, so that the
// next rows are read while the server stores the previous ones. At most two
// statements exist at a time: the one being filled and the one being sent.
//
// A statement the target rejects is sent again row by row, so that exactly
// the rows the target refuses are counted and every other row arrives:
// - on a transactional table a rejected statement left nothing behind, and
//   every one of its rows is sent again;
// - on any other table the server stored the rows before the bad one; the
//   table's row count says how many, and the rest are sent again.
class BulkInsert {
 public:
  // `table` is the target table's name; `rowsBefore` the rows it held when the
  // load began (needed on a table without transactions; -1 when unknown, and
  // then on such a table every row is sent on its own).
  BulkInsert(Workbench& window, Session* session, std::string_view table, const TableLoad& load,
             long long rowsBefore);
  ~BulkInsert();
  BulkInsert(const BulkInsert&) = delete;
  BulkInsert& operator=(const BulkInsert&) = delete;

  // One row: the text between the parentheses of its INSERT ("1,'a',NULL").
  void add(std::string_view values);
  // Sends what is left and waits until the target has answered for every row.
  void finish();

  // Valid after finish().
  long rejected() const { return rejected_; }
  const std::string& firstRejection() const { return firstRejection_; }

 private:
  struct Batch {
    std::string text;
    // Where each row's values lie in `text`.
    std::vector<std::pair<std::size_t, std::size_t>> rows;
  };

  void hand(Batch batch);
  void sendLoop();
  void send(Batch& batch);
  bool sendRow(std::string_view values);

  Workbench& window_;
  Session* session_;
  std::string table_;
  std::string prefix_;  // "insert into `t` values ("
  std::size_t limit_;
  bool transactional_;
  long long tableRows_;  // rows the table holds, on a table without transactions

  Batch filling_;
  long rejected_ = 0;
  std::string firstRejection_;
  // Why the latest multi-row statement was refused; "" when it was not.
  std::string batchFailure_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Batch> pending_;
  bool sending_ = false;
  bool closing_ = false;
  std::thread sender_;
};

}  // namespace tablift
