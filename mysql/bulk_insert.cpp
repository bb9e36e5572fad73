#include "mysql/bulk_insert.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>

#include "data_access/error_texts.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

// TABLIFT_INSERT_ARRAYS=0 (environment) sends multi-row INSERT statements
// even where a prepared statement is at hand, for measuring and testing both.
bool PreparedWanted() {
  const char* text = std::getenv("TABLIFT_INSERT_ARRAYS");
  return text == nullptr || std::string_view(text) != "0";
}

// What a bound value costs in the packet beside its bytes: its type and its
// length.
constexpr std::size_t kParameterOverheadBytes = 11;
// A prepared multi-row batch is laid out in slots as wide as each column's
// longest value; they may take this many times the statement's byte limit
// for each group of rows of an execution, so that one long value does not
// cut a batch short of its rows.
constexpr std::size_t kSlotBytesPerStatementByte = 4;

std::string InsertWithMarkers(std::string_view table, std::size_t columns, std::size_t rows) {
  std::string row = "(";
  for (std::size_t k = 0; k < columns; ++k)
    row += k == 0 ? "?" : ",?";
  row += ')';
  std::string sql = "insert into " + QuoteIdentifier(table) + " values ";
  sql.reserve(sql.size() + rows * (row.size() + 1));
  for (std::size_t r = 0; r < rows; ++r) {
    if (r > 0) sql += ',';
    sql += row;
  }
  return sql;
}

}  // namespace

BulkInsert::BulkInsert(JobContext& job, Session* session, std::string_view table,
                       const TableLoad& load, std::size_t columns, Form form)
    : job_(job),
      session_(session),
      table_(table),
      prefix_("insert into " + QuoteIdentifier(table) + " values ("),
      // Without a row count to go back to, a table without transactions
      // cannot tell which rows of a rejected statement it kept.
      limit_(load.transactional || load.rowsBefore >= 0 ? load.statementBytes : 0),
      columns_(columns),
      transactional_(load.transactional),
      form_(form),
      tableRows_(load.rowsBefore) {
  // The table's DATETIME columns count only when they match a row's values
  // one for one.
  if (load.dateTimeColumns.size() == columns_) dateTimeTargets_ = load.dateTimeColumns;
  if (load.inTransaction) {
    pieceRowLimit_ = load.commitEveryRows;
    pieceByteLimit_ = load.commitEveryBytes;
    // A statement is never larger than a piece.
    if (pieceByteLimit_ > 0 && limit_ > pieceByteLimit_) limit_ = pieceByteLimit_;
  }
  // Every group of an execution keeps to limit_: together they must fit one
  // exchange with the server.
  if (limit_ > 0) {
    groupsPerExecution_ =
        std::clamp<std::size_t>(load.exchangeBytes / limit_, 1, kMostStatementsPerExecution);
  }
  const bool prepares = limit_ > 0 && columns_ > 0 && columns_ <= kMaxStatementParameters &&
                        PreparedWanted() && session_ != nullptr && session_->isOpen();
  if (!prepares) {
    form_ = Form::Statements;
  } else if (form_ == Form::ParameterArrays &&
             Failed(session_->provider()->prepareArrayInsert(
                 InsertWithMarkers(table, columns_, 1),
                 ArrayInsertShape{columns_, 1, dateTimeTargets_}, array_))) {
    // A provider without parameter arrays, or a refusal: multi-row INSERTs.
    array_.reset();
    form_ = Form::Statements;
  }
  filling_ = emptyBatch();
  sender_.start([this](Batch& batch) { deliver(batch); },
                [](Batch& batch) {
                  batch.text.clear();
                  batch.statementText = false;
                  batch.rows.clear();
                  batch.parameters.clear();
                  batch.valueBytes = 0;
                  batch.groupValueBytes = 0;
                  batch.groupTextStart = 0;
                  batch.stagedRows = 0;
                  batch.travelsStaged = false;
                  batch.stageFailure.clear();
                });
}

BulkInsert::~BulkInsert() {
  finish();
}

std::size_t BulkInsert::batchRowLimit() const {
  std::size_t limit = pieceRowLimit_ > 0 ? pieceRowLimit_ : SIZE_MAX;
  if (form_ == Form::PreparedRows) {
    // At least two rows, or the statement would be no multi-row INSERT.
    limit = std::min(limit, rowsPerStatement_ > 0
                                ? rowsPerStatement_ * groupsPerExecution_
                                : std::clamp<std::size_t>(kMaxPreparedParameters / columns_, 2,
                                                          kMaxRowsPerStatement));
  }
  return limit;
}

void BulkInsert::add(std::string_view values, const std::vector<ParameterValue>& parameters) {
  if (form_ != Form::Statements) {
    if (parameters.size() != columns_) {
      // Cannot happen with rows of the table's own columns; such a row still
      // travels, on its own, as text.
      if (!filling_.rows.empty()) handFilling(true);
      filling_.rows.emplace_back(0, values.size());
      filling_.text.assign(values);
      handFilling(true);
      return;
    }
    // What the batch's parameters will take once this row is in: every row
    // as wide as the column's longest value.
    std::size_t width = 0;
    std::size_t bytes = 0;
    for (std::size_t k = 0; k < columns_; ++k) {
      width += std::max(filling_.parameters.widest(k), parameters[k].data.size());
      bytes += parameters[k].data.size() + kParameterOverheadBytes;
    }
    const std::size_t slots = (filling_.rows.size() + 1) * width;
    const std::size_t kept = filling_.text.size() + values.size();
    // Arrays travel as wide as their slots. A prepared statement's values
    // travel as long as they are, a group of rows at a time, and the literals
    // kept beside the rows after the last whole group must make a multi-row
    // INSERT of the same size limit, for a batch that does not end with a
    // whole group.
    const std::size_t groupRows = filling_.rows.size() - wholeGroupRows(filling_.rows.size());
    const bool fits =
        filling_.rows.size() < batchRowLimit() &&
        (form_ == Form::PreparedRows
             ? filling_.groupValueBytes + bytes <= limit_ &&
                   prefix_.size() + kept - filling_.groupTextStart + 3 * (groupRows + 1) <=
                       limit_ &&
                   slots <= kSlotBytesPerStatementByte * limit_ * groupsPerExecution_
             : slots + kept <= limit_);
    if (!filling_.rows.empty() && !fits) handFilling(true);
    filling_.rows.emplace_back(filling_.text.size(), values.size());
    filling_.text += values;
    filling_.parameters.addRow(parameters);
    filling_.valueBytes += bytes;
    filling_.groupValueBytes += bytes;
    if (wholeGroupRows(filling_.rows.size()) == filling_.rows.size()) {
      filling_.groupValueBytes = 0;
      filling_.groupTextStart = filling_.text.size();
    }
    return;
  }
  const bool fits =
      filling_.text.size() + values.size() + 3 <= limit_ && filling_.rows.size() < batchRowLimit();
  if (!filling_.rows.empty() && !fits) handFilling(true);
  if (filling_.rows.empty()) {
    filling_.text = prefix_;
    filling_.statementText = true;
  } else {
    filling_.text += "),(";
  }
  filling_.rows.emplace_back(filling_.text.size(), values.size());
  filling_.text += values;
}

void BulkInsert::prepareRows(std::size_t rows) {
  // The connection runs one statement at a time: a row sent on its own may
  // still be on its way.
  sender_.waitIdle();
  if (Failed(session_->provider()->prepareArrayInsert(
          InsertWithMarkers(table_, columns_, rows),
          ArrayInsertShape{columns_, rows, dateTimeTargets_}, array_))) {
    array_.reset();
    form_ = Form::Statements;
    return;
  }
  rowsPerStatement_ = rows;
}

std::size_t BulkInsert::wholeGroupRows(std::size_t rows) const {
  if (form_ != Form::PreparedRows || rowsPerStatement_ == 0) return 0;
  return rows / rowsPerStatement_ * rowsPerStatement_;
}

void BulkInsert::handFilling(bool cut) {
  if (form_ == Form::PreparedRows && rowsPerStatement_ == 0 && cut && filling_.rows.size() > 1 &&
      filling_.parameters.rowCount() == filling_.rows.size()) {
    // Half as many rows as fit on average: batches of rows a little longer
    // than those so far still fill the statement, and one long value that
    // cut the first batch short does not make the statement small.
    const std::size_t average =
        std::max<std::size_t>(1, filling_.valueBytes / filling_.rows.size());
    prepareRows(std::clamp<std::size_t>(limit_ / average / 2, 2, batchRowLimit()));
  }
  const std::size_t rows = filling_.rows.size();
  const std::size_t stagedRows = form_ == Form::ParameterArrays ? rows : wholeGroupRows(rows);
  if (array_ && rows > 1 && stagedRows > 0 && filling_.parameters.rowCount() == rows) {
    // Laid out here, while the sender still waits for the server's answer
    // to the batch before.
    filling_.stageFailure.clear();
    filling_.stagedRows = stagedRows;
    filling_.travelsStaged =
        !Failed(array_->stage(filling_.parameters, stagedRows, filling_.staged));
    if (!filling_.travelsStaged) {
      filling_.stageFailure = DescribeOleDbError(array_.get(), InterfaceId::ICommandPrepare);
    }
  }
  sender_.hand(std::exchange(filling_, Batch{}));
  filling_ = emptyBatch();
}

BulkInsert::Batch BulkInsert::emptyBatch() {
  if (std::optional<Batch> spare = sender_.takeSpare()) return std::move(*spare);
  Batch batch;
  if (form_ != Form::Statements) batch.parameters = ParameterRows(columns_);
  return batch;
}

void BulkInsert::finish() {
  if (!filling_.rows.empty()) handFilling(false);
  sender_.close();
}

void BulkInsert::deliver(Batch& batch) {
  try {
    send(batch);
  } catch (const std::exception& error) {
    // Nothing may escape the sending thread; rows whose fate is unknown
    // count as not accepted.
    rejected_ += static_cast<long>(batch.rows.size());
    if (firstRejection_.empty()) firstRejection_ = error.what();
  }
}

void BulkInsert::makeRoom(std::size_t rows, std::size_t bytes) {
  if (pieceRowLimit_ == 0 && pieceByteLimit_ == 0) return;
  const bool rowsFit = pieceRowLimit_ == 0 || pieceRows_ + rows <= pieceRowLimit_;
  const bool bytesFit = pieceByteLimit_ == 0 || pieceBytes_ + bytes <= pieceByteLimit_;
  if (pieceRows_ > 0 && !(rowsFit && bytesFit)) {
    std::string reason;
    if (Accepted(ExecuteStatement(job_, session_, "commit"), &reason)) {
      committedRows_ += pieceStored_;
    } else {
      // The cluster did not take the piece: none of its rows arrived.
      rejected_ += static_cast<long>(pieceStored_);
      if (firstRejection_.empty())
        firstRejection_ = reason.empty() ? "the commit was refused" : reason;
    }
    ExecuteStatement(job_, session_, "start transaction").ok();
    pieceRows_ = 0;
    pieceBytes_ = 0;
    pieceStored_ = 0;
  }
  // Rows of a refused statement count too: the server may have counted
  // them against the write set before it refused the statement.
  pieceRows_ += rows;
  pieceBytes_ += bytes;
}

bool BulkInsert::sendRow(std::string_view values) {
  makeRoom(1, values.size());
  std::string statement = prefix_;
  statement += values;
  statement += ')';
  std::string reason;
  if (Accepted(ExecuteStatement(job_, session_, std::move(statement)), &reason)) {
    ++pieceStored_;
    return true;
  }
  // The statement the row came in may have told more (a server that went
  // away says so once; the rows after it only find no connection).
  if (++rejected_ == 1) firstRejection_ = batchFailure_.empty() ? reason : batchFailure_;
  return false;
}

void BulkInsert::send(Batch& batch) {
  batchFailure_.clear();
  std::size_t retryFrom = 0;
  if (batch.rows.size() > 1) {
    makeRoom(batch.rows.size(), batch.text.size());
    // A cluster keeps the rows a refused statement stored before its bad row
    // in the transaction's write set, and the other nodes then find them
    // twice; going back to a savepoint takes them out.
    const bool savepoint = (pieceRowLimit_ > 0 || pieceByteLimit_ > 0) &&
                           ExecuteStatement(job_, session_, "savepoint tablift_batch").ok();
    // The rows before `sent` are stored, by a statement the server took.
    std::size_t sent = 0;
    bool stored = true;
    if (batch.travelsStaged) {
      stored = !Failed(array_->execute(*batch.staged));
      if (stored) {
        sent = batch.stagedRows;
        staged_ += static_cast<long>(sent);
      } else {
        batchFailure_ = DescribeOleDbError(array_.get(), InterfaceId::ICommandPrepare);
      }
    } else if (!batch.stageFailure.empty()) {
      stored = false;
      batchFailure_ = batch.stageFailure;
    }
    if (stored && sent < batch.rows.size()) {
      if (batch.statementText) {
        batch.text += ')';
        stored = Accepted(ExecuteStatement(job_, session_, batch.text), &batchFailure_);
      } else {
        // Literals kept for a prepared statement, of the rows after the
        // staged ones: one multi-row INSERT.
        composed_ = prefix_;
        for (std::size_t row = sent; row < batch.rows.size(); ++row) {
          if (row > sent) composed_ += "),(";
          composed_.append(batch.text, batch.rows[row].first, batch.rows[row].second);
        }
        composed_ += ')';
        stored = Accepted(ExecuteStatement(job_, session_, composed_), &batchFailure_);
      }
    }
    if (stored) {
      tableRows_ += static_cast<long long>(batch.rows.size());
      pieceStored_ += static_cast<long long>(batch.rows.size());
      return;
    }
    if (savepoint) {
      // Going back to the savepoint takes the staged rows out too.
      ExecuteStatement(job_, session_, "rollback to savepoint tablift_batch").ok();
      staged_ -= static_cast<long>(sent);
      sent = 0;
    }
    if (transactional_) {
      // The refused statement left nothing behind; those before it stay.
      retryFrom = sent;
      pieceStored_ += static_cast<long long>(sent);
    } else {
      // The server stored the rows before the one it refused, and no more.
      retryFrom = sent;
      const long long now = CountTableRows(session_, table_);
      if (now >= tableRows_) {
        retryFrom =
            std::max(retryFrom, static_cast<std::size_t>(std::min<long long>(
                                    now - tableRows_, static_cast<long long>(batch.rows.size()))));
      }
      tableRows_ += static_cast<long long>(retryFrom);
    }
    resent_ += static_cast<long>(batch.rows.size() - retryFrom);
  }
  for (std::size_t row = retryFrom; row < batch.rows.size(); ++row) {
    const auto [start, length] = batch.rows[row];
    if (sendRow(std::string_view(batch.text).substr(start, length))) ++tableRows_;
  }
}

}  // namespace tablift
