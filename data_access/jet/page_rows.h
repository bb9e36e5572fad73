#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// Where the rows of a data page (or a long-value page) lie, checked against
// the page's bounds before anything is read from them.
namespace tablift::jet {

struct PageFormat {
  std::size_t pageSize = 4096;
  std::size_t rowCountOffset = 0x0C;  // Jet 3: 0x08
};

struct RowBounds {
  std::size_t start = 0;  // offset in the page
  std::size_t length = 0;
  // Deleted, or moved to another page (its four bytes then point at the row,
  // which is read where it lies).
  bool deleted = false;
  bool movedHere = false;  // a row that another row points at
};

// The number of rows the page's row table claims.
std::size_t PageRowCount(std::span<const std::uint8_t> page, const PageFormat& format);

// Row `row` of the page; nothing when the row table points outside the page
// or past the row before it.
std::optional<RowBounds> FindRow(std::span<const std::uint8_t> page, const PageFormat& format,
                                 std::size_t row);

}  // namespace tablift::jet
