#include "data_access/jet/long_value.h"

#include <algorithm>
#include <optional>
#include <set>

namespace tablift::jet {
namespace {

constexpr std::size_t kReferenceSize = 12;
constexpr std::uint32_t kInlineFlag = 0x80000000;
constexpr std::uint32_t kSingleRowFlag = 0x40000000;
constexpr std::uint32_t kLengthMask = 0x3FFFFFFF;
// What is reserved up front; a damaged length must not allocate a gigabyte.
constexpr std::size_t kInitialReserve = 1u << 20;

std::uint32_t DoubleWord(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

// The bytes of row `pointer` (page number times 256 plus row number).
bool ReadPointedRow(LibmdbDatabase& database, std::uint32_t pointer,
                    std::vector<std::uint8_t>& page, std::span<const std::uint8_t>& row) {
  if (!database.readPage(pointer >> 8, page)) return false;
  const std::optional<RowBounds> bounds = FindRow(page, database.pageFormat(), pointer & 0xFF);
  if (!bounds) return false;
  row = std::span<const std::uint8_t>(page).subspan(bounds->start, bounds->length);
  return true;
}

}  // namespace

bool ReadLongValue(LibmdbDatabase& database, std::span<const std::uint8_t> reference,
                   std::vector<std::uint8_t>& value, std::string& problem) {
  value.clear();
  if (reference.empty()) return true;
  if (reference.size() < kReferenceSize) {
    problem = "a long value's reference is cut short";
    return false;
  }
  const std::uint32_t header = DoubleWord(reference, 0);
  const std::size_t length = header & kLengthMask;

  if ((header & kInlineFlag) != 0) {
    const auto data = reference.subspan(kReferenceSize);
    value.assign(data.begin(), data.begin() + std::min(length, data.size()));
    return true;
  }

  std::vector<std::uint8_t> page;
  std::span<const std::uint8_t> row;
  std::uint32_t pointer = DoubleWord(reference, 4);
  if ((header & kSingleRowFlag) != 0) {
    if (!ReadPointedRow(database, pointer, page, row)) {
      problem = "a long value points at a row that does not exist";
      return false;
    }
    value.assign(row.begin(), row.begin() + std::min(length, row.size()));
    return true;
  }
  if ((header & ~kLengthMask) != 0) {
    problem = "a long value's reference is damaged";
    return false;
  }

  value.reserve(std::min(length, kInitialReserve));
  std::set<std::uint32_t> visited;
  while (value.size() < length) {
    if (pointer == 0 || !visited.insert(pointer).second) {
      problem = "a long value's chain of pages is broken";
      return false;
    }
    if (!ReadPointedRow(database, pointer, page, row) || row.size() < 4) {
      problem = "a long value points at a row that does not exist";
      return false;
    }
    const auto data = row.subspan(4);
    const std::size_t wanted = std::min(data.size(), length - value.size());
    value.insert(value.end(), data.begin(), data.begin() + wanted);
    pointer = DoubleWord(row, 0);
  }
  return true;
}

}  // namespace tablift::jet
