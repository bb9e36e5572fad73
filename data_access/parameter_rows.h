#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tablift {

// One value of a row sent as a statement parameter.
struct ParameterValue {
  // Integer values are text too, in the form IsParameterInteger accepts; a
  // provider may send them as the numbers they are, which spares the server
  // reading them from text. DateTime values are text in the form
  // IsParameterDateTime accepts; a provider may send them as dates. The
  // server stores the same either way.
  enum class Kind : std::uint8_t { Null, Text, Bytes, Integer, DateTime };
  Kind kind = Kind::Null;
  // Text in UTF-8, or the bytes themselves.
  std::string data;
};

// A decimal integer that a signed 64-bit number holds, written the one way
// (an optional minus, no leading zeros, "0" for zero).
bool IsParameterInteger(std::string_view text);

// A date and time of the proleptic Gregorian calendar, written
// "YYYY-MM-DD hh:mm:ss" with a year from 1 to 9999 and no fraction of a
// second: the texts that read as the same DATETIME whether the server gets
// them as text or as a date.
bool IsParameterDateTime(std::string_view text);

// The parts of a text IsParameterDateTime accepted (read without checking
// again: a provider lays out many of them).
struct ParameterDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};
ParameterDateTime ParameterDateTimeParts(std::string_view text);

// The parameter values of many rows, kept column by column: each column's
// values lie one after the other in a single buffer. A batch of thousands of
// rows then costs a few allocations instead of one or more per value, and
// clear() keeps the buffers for the next batch.
class ParameterRows {
 public:
  using Kind = ParameterValue::Kind;

  ParameterRows() = default;
  explicit ParameterRows(std::size_t columns) : columns_(columns) {}

  std::size_t columnCount() const { return columns_.size(); }
  // The rows whose every column has its value.
  std::size_t rowCount() const;
  bool empty() const { return rowCount() == 0; }

  // Appends one row: `values` holds columnCount() values.
  void addRow(const std::vector<ParameterValue>& values);
  // Forgets the rows, keeping the memory.
  void clear();

  Kind kind(std::size_t row, std::size_t column) const { return columns_[column].kinds[row]; }
  // The value's text or bytes; empty for NULL.
  std::string_view data(std::size_t row, std::size_t column) const;
  // The longest value of the column, in bytes.
  std::size_t widest(std::size_t column) const { return columns_[column].widest; }
  // Whether any value of the column is bytes rather than text.
  bool holdsBytes(std::size_t column) const { return columns_[column].bytes; }
  // The kind every value of the column that is not NULL has; Null when all
  // are NULL, Text when they differ (Bytes when any is bytes).
  Kind commonKind(std::size_t column) const { return columns_[column].common; }

 private:
  struct Column {
    std::string data;
    // Where each row's value ends in `data`; it begins where the one before
    // ends.
    std::vector<std::size_t> ends;
    std::vector<Kind> kinds;
    std::size_t widest = 0;
    bool bytes = false;
    Kind common = Kind::Null;
  };
  std::vector<Column> columns_;
};

}  // namespace tablift
