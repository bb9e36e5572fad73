#include "data_access/jet/page_rows.h"

namespace tablift::jet {
namespace {

constexpr std::uint16_t kOffsetMask = 0x1FFF;
constexpr std::uint16_t kLookupFlag = 0x8000;
constexpr std::uint16_t kDeletedFlag = 0x4000;

std::uint16_t WordAt(std::span<const std::uint8_t> page, std::size_t offset) {
  return static_cast<std::uint16_t>(page[offset] | (page[offset + 1] << 8));
}

}  // namespace

std::size_t PageRowCount(std::span<const std::uint8_t> page, const PageFormat& format) {
  if (page.size() < format.rowCountOffset + 2) return 0;
  return WordAt(page, format.rowCountOffset);
}

std::optional<RowBounds> FindRow(std::span<const std::uint8_t> page, const PageFormat& format,
                                 std::size_t row) {
  const std::size_t rows = PageRowCount(page, format);
  if (page.size() != format.pageSize || row >= rows) return std::nullopt;
  const std::size_t tableEnd = format.rowCountOffset + 2 + rows * 2;
  if (tableEnd > page.size()) return std::nullopt;
  const std::size_t entry = format.rowCountOffset + 2 + row * 2;
  const std::uint16_t raw = WordAt(page, entry);
  const std::size_t start = raw & kOffsetMask;
  // Rows are stored from the end of the page backwards: a row ends where the
  // one before it starts.
  const std::size_t end = row == 0 ? format.pageSize : (WordAt(page, entry - 2) & kOffsetMask);
  if (start < tableEnd || start > end || end > format.pageSize) return std::nullopt;
  RowBounds bounds;
  bounds.start = start;
  bounds.length = end - start;
  bounds.deleted = (raw & kDeletedFlag) != 0;
  bounds.movedHere = (raw & kLookupFlag) != 0;
  return bounds;
}

}  // namespace tablift::jet
