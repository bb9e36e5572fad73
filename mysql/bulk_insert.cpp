#include "mysql/bulk_insert.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <system_error>

#include "data_access/error_texts.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

// TABLIFT_INSERT_ARRAYS=0 (environment) sends multi-row INSERT statements
// even where parameter arrays are at hand, for measuring and testing both.
bool ArraysWanted() {
  const char* text = std::getenv("TABLIFT_INSERT_ARRAYS");
  return text == nullptr || std::string_view(text) != "0";
}

}  // namespace

BulkInsert::BulkInsert(JobContext& job, Session* session, std::string_view table,
                       const TableLoad& load, std::size_t columns)
    : job_(job),
      session_(session),
      table_(table),
      prefix_("insert into " + QuoteIdentifier(table) + " values ("),
      // Without a row count to go back to, a table without transactions
      // cannot tell which rows of a rejected statement it kept.
      limit_(load.transactional || load.rowsBefore >= 0 ? load.statementBytes : 0),
      columns_(columns),
      transactional_(load.transactional),
      tableRows_(load.rowsBefore) {
  if (load.inTransaction) {
    pieceRowLimit_ = load.commitEveryRows;
    pieceByteLimit_ = load.commitEveryBytes;
    // A statement is never larger than a piece.
    if (pieceByteLimit_ > 0 && limit_ > pieceByteLimit_) limit_ = pieceByteLimit_;
  }
  if (limit_ > 0 && columns_ > 0 && ArraysWanted() && session_ != nullptr && session_->isOpen()) {
    std::string sql = "insert into " + QuoteIdentifier(table) + " values (";
    for (std::size_t k = 0; k < columns_; ++k)
      sql += k == 0 ? "?" : ",?";
    sql += ')';
    // A provider without parameter arrays, or a refusal: multi-row INSERTs.
    if (Failed(session_->provider()->prepareArrayInsert(sql, columns_, array_))) array_.reset();
  }
  filling_ = emptyBatch();
  try {
    sender_ = std::thread([this] { sendLoop(); });
  } catch (const std::system_error&) {
    // No second thread: the rows are sent as they are filled.
  }
}

BulkInsert::~BulkInsert() {
  finish();
}

void BulkInsert::add(std::string_view values, const std::vector<ParameterValue>& parameters) {
  if (array_) {
    if (parameters.size() != columns_) {
      // Cannot happen with rows of the table's own columns; such a row still
      // travels, on its own, as text.
      if (!filling_.rows.empty()) handFilling();
      filling_.rows.emplace_back(0, values.size());
      filling_.text.assign(values);
      handFilling();
      return;
    }
    // What the batch's arrays will hold once this row is in: every row as
    // wide as the column's longest value.
    std::size_t width = 0;
    for (std::size_t k = 0; k < columns_; ++k)
      width += std::max(filling_.parameters.widest(k), parameters[k].data.size());
    const bool fits =
        (filling_.rows.size() + 1) * width + filling_.text.size() + values.size() <= limit_ &&
        (pieceRowLimit_ == 0 || filling_.rows.size() < pieceRowLimit_);
    if (!filling_.rows.empty() && !fits) handFilling();
    filling_.rows.emplace_back(filling_.text.size(), values.size());
    filling_.text += values;
    filling_.parameters.addRow(parameters);
    return;
  }
  const bool fits = filling_.text.size() + values.size() + 3 <= limit_ &&
                    (pieceRowLimit_ == 0 || filling_.rows.size() < pieceRowLimit_);
  if (!filling_.rows.empty() && !fits) handFilling();
  if (filling_.rows.empty()) {
    filling_.text = prefix_;
  } else {
    filling_.text += "),(";
  }
  filling_.rows.emplace_back(filling_.text.size(), values.size());
  filling_.text += values;
}

void BulkInsert::handFilling() {
  if (array_ && filling_.rows.size() > 1) {
    // Laid out here, while the sender still waits for the server's answer
    // to the batch before.
    filling_.stageFailure.clear();
    if (Failed(array_->stage(filling_.parameters, filling_.staged))) {
      filling_.stageFailure = DescribeOleDbError(array_.get(), InterfaceId::ICommandPrepare);
    }
  }
  hand(std::exchange(filling_, Batch{}));
  filling_ = emptyBatch();
}

BulkInsert::Batch BulkInsert::emptyBatch() {
  {
    std::lock_guard lock(mutex_);
    if (spare_) {
      Batch batch = std::move(*spare_);
      spare_.reset();
      return batch;
    }
  }
  Batch batch;
  if (array_) batch.parameters = ParameterRows(columns_);
  return batch;
}

void BulkInsert::finish() {
  if (!filling_.rows.empty()) handFilling();
  if (!sender_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  sender_.join();
}

void BulkInsert::hand(Batch batch) {
  if (!sender_.joinable()) {
    send(batch);
    return;
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !pending_; });
  pending_ = std::move(batch);
  changed_.notify_all();
}

void BulkInsert::sendLoop() {
  for (;;) {
    Batch batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return pending_ || closing_; });
      if (!pending_) return;
      batch = std::move(*pending_);
      pending_.reset();
    }
    // The slot is free again: the next statement is filled while this one
    // travels.
    changed_.notify_all();
    try {
      send(batch);
    } catch (const std::exception& error) {
      // Nothing may escape this thread; rows whose fate is unknown count as
      // not accepted.
      rejected_ += static_cast<long>(batch.rows.size());
      if (firstRejection_.empty()) firstRejection_ = error.what();
    }
    batch.text.clear();
    batch.rows.clear();
    batch.parameters.clear();
    std::lock_guard lock(mutex_);
    if (!spare_) spare_ = std::move(batch);
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
    bool stored = false;
    if (array_) {
      if (batch.stageFailure.empty() && batch.staged) {
        stored = !Failed(array_->execute(*batch.staged));
        if (!stored) batchFailure_ = DescribeOleDbError(array_.get(), InterfaceId::ICommandPrepare);
      } else {
        batchFailure_ = batch.stageFailure;
      }
    } else {
      batch.text += ')';
      stored = Accepted(ExecuteStatement(job_, session_, batch.text), &batchFailure_);
    }
    if (stored) {
      tableRows_ += static_cast<long long>(batch.rows.size());
      pieceStored_ += static_cast<long long>(batch.rows.size());
      return;
    }
    if (savepoint) ExecuteStatement(job_, session_, "rollback to savepoint tablift_batch").ok();
    if (!transactional_) {
      // The server stored the rows before the one it refused, and no more.
      const long long now = CountTableRows(session_, table_);
      if (now >= tableRows_) {
        retryFrom = static_cast<std::size_t>(
            std::min<long long>(now - tableRows_, static_cast<long long>(batch.rows.size())));
      }
      tableRows_ += static_cast<long long>(retryFrom);
    }
  }
  for (std::size_t row = retryFrom; row < batch.rows.size(); ++row) {
    const auto [start, length] = batch.rows[row];
    if (sendRow(std::string_view(batch.text).substr(start, length))) ++tableRows_;
  }
}

}  // namespace tablift
