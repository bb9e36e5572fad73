#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data_access/session.h"
#include "mysql/sending_thread.h"
#include "mysql/table_load.h"

namespace tablift {

class JobContext;

// Sends the rows of one table to the target in batches of at most
// `load.statementBytes` bytes, on a thread of its own, so that the next rows
// are read while the server stores the previous ones. At most three batches
// exist at a time: the one being filled, one waiting and the one being sent;
// a sent batch's memory is used again for a later one.
//
// How a batch travels (Form):
// - ParameterArrays: one prepared single-row INSERT run for all the batch's
//   rows, where the provider binds parameter arrays (the server parses the
//   statement once, not once per row: about half the server's work of a
//   multi-row INSERT on InnoDB). On a table without transactions the server
//   takes each row of an array as an insert of its own, which costs it more
//   than a multi-row INSERT there.
// - PreparedRows: a prepared INSERT of half as many rows as fitted a
//   statement on average when the first one was full (at most
//   kMaxRowsPerStatement and kMaxPreparedParameters), run for up to
//   kMostStatementsPerExecution groups of that many rows in one exchange
//   with the server; the server stores each group as one multi-row INSERT
//   without parsing text (on MyISAM about half its work). Each group keeps
//   to the statement's byte limit. The rows of a batch after its last whole
//   group (a batch cut short by long values, and the last one) travel as a
//   multi-row INSERT statement.
// - Statements: multi-row INSERT statements.
//
// A batch the target rejects is sent again row by row, so that exactly the
// rows the target refuses are counted and every other row arrives (a
// rejected array or prepared statement behaves as a rejected multi-row
// INSERT does):
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
// The most rows of one prepared multi-row INSERT: past about a thousand the
// server's work per row hardly falls (measured on MyISAM: 1.9 s of server
// time per million rows at 1000 rows a statement, 2.0 s at 500).
inline constexpr std::size_t kMaxRowsPerStatement = 1000;
// The most parameters of one prepared multi-row INSERT. The driver walks a
// record of each parameter for every execution; past a few thousand they no
// longer stay in the processor's caches, and its work per row grows more
// than the server's falls (measured on MyISAM, "Order" of nine columns, in
// interleaved runs: the table took a median 3.07 s at 455 rows a statement
// against 3.26 s at 1000, with 15 % fewer of the driver's samples).
inline constexpr std::size_t kMaxPreparedParameters = 4096;
// The most groups of rows one execution of a prepared multi-row INSERT
// carries (fewer where the server's packet limit would not take them). The
// driver then walks the statement's parameters and waits for the server's
// answer once for all of them, and the server runs them without a command
// each (MyISAM, "Order" of nine columns, 1,000,000 rows, eight interleaved
// pairs of runs: the table's time a median 2.85 s against 3.11 s one group
// at a time, the server's CPU time 1.99 s against 2.11 s). Sixteen were
// faster still in some runs, but Tablift's peak memory for the table grew
// from 24 MB to 31 MB, and wide rows would take more.
inline constexpr std::size_t kMostStatementsPerExecution = 8;

class BulkInsert {
 public:
  // The environment variable TABLIFT_INSERT_ARRAYS=0 makes every form
  // Statements, for measuring and testing that form.
  enum class Form { ParameterArrays, PreparedRows, Statements };

  // `table` is the target table's name, `columns` the number of values of a
  // row. On a table without transactions, when `load.rowsBefore` is unknown,
  // every row is sent on its own. Where the provider cannot prepare what
  // `form` needs, the batches travel as Statements.
  BulkInsert(JobContext& job, Session* session, std::string_view table, const TableLoad& load,
             std::size_t columns, Form form = Form::ParameterArrays);
  ~BulkInsert();
  BulkInsert(const BulkInsert&) = delete;
  BulkInsert& operator=(const BulkInsert&) = delete;

  // One row: the text between the parentheses of its INSERT ("1,'a',NULL"),
  // and the same values as parameters (ValueParameter), `columns` of them.
  void add(std::string_view values, const std::vector<ParameterValue>& parameters);
  // Sends what is left and waits until the target has answered for every row.
  void finish();

  // How the batches travel: as asked, unless the provider could not
  // prepare the statement. PreparedRows is prepared with the first full
  // batch; rowsPerStatement() says whether it was.
  Form form() const { return form_; }
  // The rows of the prepared multi-row INSERT; 0 when none was prepared.
  std::size_t rowsPerStatement() const { return rowsPerStatement_; }

  // Valid after finish().
  long rejected() const { return rejected_; }
  const std::string& firstRejection() const { return firstRejection_; }
  // The rows sent again on their own because the batch they came in was
  // refused.
  long resent() const { return resent_; }
  // The rows stored by a prepared statement (arrays or prepared rows).
  long staged() const { return staged_; }
  // The rows stored by the commits of earlier pieces: those the table keeps
  // even when the load's last commit is refused. 0 without pieces.
  long long committedRows() const { return committedRows_; }

 private:
  struct Batch {
    // A multi-row INSERT without its closing parenthesis when
    // `statementText`; else the rows' literals one after the other, kept for
    // sending the rows as text.
    std::string text;
    bool statementText = false;
    // Where each row's values lie in `text`.
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    // With a prepared statement: every row's values, and the same laid out
    // for the provider when the batch travels that way (`staged` keeps its
    // memory from batch to batch), or why they could not be.
    ParameterRows parameters;
    // The parameters' bytes as they travel, with each value's overhead.
    std::size_t valueBytes = 0;
    // The same for the rows after the batch's last whole group of a prepared
    // multi-row INSERT, and where their literals begin in `text`.
    std::size_t groupValueBytes = 0;
    std::size_t groupTextStart = 0;
    std::unique_ptr<StagedParameters> staged;
    // How many of the rows were staged; those after them travel as text.
    std::size_t stagedRows = 0;
    bool travelsStaged = false;
    std::string stageFailure;
  };

  // An empty batch, with the buffers of one sent before where there is one.
  Batch emptyBatch();
  // Hands the batch being filled over and starts a new one. `cut`: more
  // rows follow (the batch is full).
  void handFilling(bool cut);
  // Prepares the multi-row INSERT of `rows` rows, once the sender is idle;
  // on failure the batches travel as Statements from now on.
  void prepareRows(std::size_t rows);
  // The most rows a batch may hold.
  std::size_t batchRowLimit() const;
  // How many of a batch's first `rows` rows make whole groups of the
  // prepared multi-row INSERT (0 without one).
  std::size_t wholeGroupRows(std::size_t rows) const;
  // Sends a batch on the sending thread; what throws counts as rejected.
  void deliver(Batch& batch);
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
  // For each value of a row, whether its column is DATETIME; empty when
  // unknown.
  std::vector<bool> dateTimeTargets_;
  bool transactional_;
  Form form_;
  // Set when the provider prepared the INSERT: for parameter arrays, or for
  // `rowsPerStatement_` rows.
  std::unique_ptr<ProviderArrayInsert> array_;
  std::size_t rowsPerStatement_ = 0;
  // How many groups of rowsPerStatement_ rows one execution carries.
  std::size_t groupsPerExecution_ = 1;
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
  long resent_ = 0;
  long staged_ = 0;
  std::string firstRejection_;
  // Why the latest multi-row statement was refused; "" when it was not.
  std::string batchFailure_;
  // The multi-row INSERT made of a batch's literals (the sender's).
  std::string composed_;

  // Last, so that it ends before the members the sending uses.
  SendingThread<Batch> sender_;
};

}  // namespace tablift
