#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "data_access/jet/jet_value.h"

// The byte form in which requests and answers travel between the provider and
// its reader process. The reading side trusts nothing: every read is checked
// against what is left, because the writer may be a process that libmdb has
// led astray.
namespace tablift::jet {

class WireWriter {
 public:
  WireWriter() = default;
  // Writes on after what `buffer` holds (keeping its memory for reuse).
  explicit WireWriter(std::string buffer) : buffer_(std::move(buffer)) {}

  void u8(std::uint8_t value) { buffer_.push_back(static_cast<char>(value)); }
  void boolean(bool value) { u8(value ? 1 : 0); }
  void u32(std::uint32_t value);
  void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
  void i64(std::int64_t value);
  void f64(double value);
  void text(std::string_view value);
  void bytes(std::span<const std::uint8_t> value);
  void value(const Value& value);
  // Bytes already in wire form (values written by another writer).
  void append(std::string_view wire) { buffer_.append(wire); }
  void reserve(std::size_t size) { buffer_.reserve(size); }

  const std::string& buffer() const { return buffer_; }
  std::string take() { return std::move(buffer_); }
  void clear() { buffer_.clear(); }
  std::size_t size() const { return buffer_.size(); }

 private:
  std::string buffer_;
};

class WireReader {
 public:
  explicit WireReader(std::string_view data) : data_(data) {}

  // Each returns false, and leaves the reader failed, when the data runs out
  // or does not hold a value of the kind asked for.
  bool u8(std::uint8_t& value);
  bool boolean(bool& value);
  bool u32(std::uint32_t& value);
  bool i32(std::int32_t& value);
  bool i64(std::int64_t& value);
  bool f64(double& value);
  bool text(std::string& value);
  bool value(Value& value);

  bool ok() const { return ok_; }
  bool atEnd() const { return ok_ && position_ == data_.size(); }

 private:
  bool take(std::size_t count, const char*& at);
  // A length and that many bytes, left where they are.
  bool textView(std::string_view& value);
  bool fail() {
    ok_ = false;
    return false;
  }

  std::string_view data_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace tablift::jet
