#pragma once

#include <cstdint>
#include <span>

#include "data_access/jet/writer/little_endian.h"

namespace tablift::jet {

// Fills one data page (or long-value page) with rows. Rows are stored from the
// end of the page downwards, each directly below the previous one, because
// readers take a row's length from the offset of the row before it.
class DataPageBuilder {
 public:
  // A page of rows of the table defined on `ownerPage`.
  static DataPageBuilder ForTable(std::uint32_t ownerPage);
  // A page of long-value rows, marked "LVAL" instead of an owner.
  static DataPageBuilder ForLongValues();

  bool empty() const { return rowCount_ == 0; }
  std::size_t rowCount() const { return rowCount_; }
  std::size_t freeSpace() const;
  bool fits(std::size_t rowLength) const;

  // Adds a row that fits() and returns its row number on the page.
  std::uint8_t add(std::span<const std::uint8_t> row);

  // The finished page; the builder starts over with the same owner.
  ByteVector take();

 private:
  explicit DataPageBuilder(const std::uint8_t (&owner)[4]);
  void reset();

  ByteVector page_;
  std::uint8_t owner_[4];
  std::size_t rowCount_ = 0;
  std::size_t rowsStart_ = 0;  // offset of the lowest row
};

}  // namespace tablift::jet
