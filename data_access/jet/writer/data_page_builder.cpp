#include "data_access/jet/writer/data_page_builder.h"

#include <algorithm>
#include <cstring>

#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {

DataPageBuilder DataPageBuilder::ForTable(std::uint32_t ownerPage) {
  std::uint8_t owner[4];
  StoreLe32(owner, ownerPage);
  return DataPageBuilder(owner);
}

DataPageBuilder DataPageBuilder::ForLongValues() {
  const std::uint8_t owner[4] = {'L', 'V', 'A', 'L'};
  return DataPageBuilder(owner);
}

DataPageBuilder::DataPageBuilder(const std::uint8_t (&owner)[4]) {
  std::memcpy(owner_, owner, sizeof owner_);
  reset();
}

void DataPageBuilder::reset() {
  page_.assign(jet4::kPageSize, 0);
  page_[0] = jet4::kPageData;
  page_[1] = 0x01;
  std::memcpy(&page_[jet4::kDataPageOwnerOffset], owner_, sizeof owner_);
  rowCount_ = 0;
  rowsStart_ = jet4::kPageSize;
}

std::size_t DataPageBuilder::freeSpace() const {
  return rowsStart_ - (jet4::kDataPageRowOffsetsStart + 2 * rowCount_);
}

bool DataPageBuilder::fits(std::size_t rowLength) const {
  return rowCount_ < jet4::kMaxRowsPerPage && rowLength + 2 <= freeSpace();
}

std::uint8_t DataPageBuilder::add(std::span<const std::uint8_t> row) {
  rowsStart_ -= row.size();
  std::copy(row.begin(), row.end(), page_.begin() + static_cast<std::ptrdiff_t>(rowsStart_));
  StoreLe16(&page_[jet4::kDataPageRowOffsetsStart + 2 * rowCount_],
            static_cast<std::uint16_t>(rowsStart_));
  return static_cast<std::uint8_t>(rowCount_++);
}

ByteVector DataPageBuilder::take() {
  StoreLe16(&page_[jet4::kDataPageFreeSpaceOffset], static_cast<std::uint16_t>(freeSpace()));
  StoreLe16(&page_[jet4::kDataPageRowCountOffset], static_cast<std::uint16_t>(rowCount_));
  ByteVector finished = std::move(page_);
  reset();
  return finished;
}

}  // namespace tablift::jet
