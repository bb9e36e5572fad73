#include "target_mysql/bulk_insert.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "Converters/execute_statement.h"
#include "target_mysql/sql_literals.h"

namespace tablift {

BulkInsert::BulkInsert(Workbench& window, Session* session, std::string_view table,
                       const TableLoad& load, long long rowsBefore)
    : window_(window),
      session_(session),
      table_(table),
      prefix_("insert into " + QuoteIdentifier(table) + " values ("),
      // Without a row count to go back to, a table without transactions
      // cannot tell which rows of a rejected statement it kept.
      limit_(load.transactional || rowsBefore >= 0 ? load.statementBytes : 0),
      transactional_(load.transactional),
      tableRows_(rowsBefore) {
  try {
    sender_ = std::thread([this] { sendLoop(); });
  } catch (const std::system_error&) {
    // No second thread: the rows are sent as they are filled.
  }
}

BulkInsert::~BulkInsert() {
  finish();
}

void BulkInsert::add(std::string_view values) {
  const bool fits = filling_.text.size() + values.size() + 3 <= limit_;
  if (!filling_.rows.empty() && !fits) hand(std::exchange(filling_, Batch{}));
  if (filling_.rows.empty()) {
    filling_.text = prefix_;
  } else {
    filling_.text += "),(";
  }
  filling_.rows.emplace_back(filling_.text.size(), values.size());
  filling_.text += values;
}

void BulkInsert::finish() {
  if (!filling_.rows.empty()) hand(std::exchange(filling_, Batch{}));
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
  }
}

bool BulkInsert::sendRow(std::string_view values) {
  std::string statement = prefix_;
  statement += values;
  statement += ')';
  std::string reason;
  if (ExecuteStatement(window_, session_, std::move(statement), 0, &reason)) return true;
  // The statement the row came in may have told more (a server that went
  // away says so once; the rows after it only find no connection).
  if (++rejected_ == 1) firstRejection_ = batchFailure_.empty() ? reason : batchFailure_;
  return false;
}

void BulkInsert::send(Batch& batch) {
  batchFailure_.clear();
  std::size_t retryFrom = 0;
  if (batch.rows.size() > 1) {
    batch.text += ')';
    if (ExecuteStatement(window_, session_, batch.text, 0, &batchFailure_)) {
      tableRows_ += static_cast<long long>(batch.rows.size());
      return;
    }
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
