#include "data_access/jet/rows_ahead.h"

#include <chrono>

namespace tablift::jet {
namespace {

constexpr std::size_t kBatchBytes = 4u << 20;
constexpr auto kBatchTime = std::chrono::milliseconds(500);
constexpr std::uint32_t kRowsBetweenClockReadings = 16;
constexpr std::size_t kBytesBetweenClockReadings = 64u << 10;

}  // namespace

void RowsAhead::read(TableReader& reader, std::uint32_t wanted, const std::function<bool()>& stop) {
  if (after_ != After::More) return;
  // Rows taken already are dropped first, so that what is held never grows
  // past one batch however the requests split it.
  if (first_ > 0) {
    const std::size_t taken = heldFrom();
    bytes_.erase(0, taken);
    ends_.erase(ends_.begin(), ends_.begin() + static_cast<std::ptrdiff_t>(first_));
    for (std::size_t& end : ends_)
      end -= taken;
    first_ = 0;
  }
  WireWriter out(std::move(bytes_));
  Value value;
  std::uint32_t read = 0;
  const auto started = std::chrono::steady_clock::now();
  std::size_t timedAt = out.size();
  while (read < wanted && out.size() < kBatchBytes) {
    // The clock is read every few rows, and after every row long enough to
    // have taken time of its own: reading it for every short row costs more
    // than the row.
    if (read % kRowsBetweenClockReadings == 0 ||
        out.size() - timedAt >= kBytesBetweenClockReadings) {
      timedAt = out.size();
      if (std::chrono::steady_clock::now() - started >= kBatchTime) break;
      if (read > 0 && stop && stop()) break;
    }
    const TableReader::Step step = reader.advance(problem_);
    if (step == TableReader::Step::End) {
      after_ = After::End;
      break;
    }
    bool whole = step == TableReader::Step::Row;
    for (std::size_t column = 0; whole && column < reader.columnCount(); ++column) {
      whole = reader.value(column, value, problem_);
      if (whole) out.value(value);
    }
    if (!whole) {
      after_ = After::Damaged;
      break;
    }
    ends_.push_back(out.size());
    ++read;
  }
  bytes_ = out.take();
  bytes_.resize(ends_.empty() ? 0 : ends_.back());
}

void RowsAhead::take(std::size_t rows, WireWriter& out) {
  if (rows > count()) rows = count();
  if (rows == 0) return;
  const std::size_t from = heldFrom();
  const std::size_t to = ends_[first_ + rows - 1];
  out.append(std::string_view(bytes_).substr(from, to - from));
  first_ += rows;
  if (first_ == ends_.size()) {
    // The memory is kept for the next rows, unless a long value made it
    // larger than a batch needs.
    if (bytes_.capacity() > 2 * kBatchBytes) {
      std::string().swap(bytes_);
    } else {
      bytes_.clear();
    }
    ends_.clear();
    first_ = 0;
  }
}

}  // namespace tablift::jet
