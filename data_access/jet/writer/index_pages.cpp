#include "data_access/jet/writer/index_pages.h"

#include <algorithm>

#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {

IndexPageBuilder::IndexPageBuilder(bool leaf, std::uint32_t ownerPage) : page_(jet4::kPageSize, 0) {
  page_[0] = leaf ? jet4::kPageIndexLeaf : jet4::kPageIndexNode;
  page_[1] = 0x01;
  StoreLe32(&page_[4], ownerPage);
}

bool IndexPageBuilder::fits(std::size_t entryLength) const {
  return jet4::kIndexEntriesStart + used_ + entryLength <= jet4::kPageSize;
}

void IndexPageBuilder::add(const ByteVector& entry) {
  std::copy(entry.begin(), entry.end(),
            page_.begin() + static_cast<std::ptrdiff_t>(jet4::kIndexEntriesStart + used_));
  used_ += entry.size();
  page_[jet4::kIndexBitmapStart + used_ / 8] =
      static_cast<std::uint8_t>(page_[jet4::kIndexBitmapStart + used_ / 8] | (1u << (used_ % 8)));
  last_ = entry;
}

ByteVector IndexPageBuilder::take(std::uint32_t previousPage, std::uint32_t nextPage) {
  StoreLe16(&page_[2],
            static_cast<std::uint16_t>(jet4::kPageSize - jet4::kIndexEntriesStart - used_));
  StoreLe32(&page_[jet4::kIndexPrevPageOffset], previousPage);
  StoreLe32(&page_[jet4::kIndexNextPageOffset], nextPage);
  return std::move(page_);
}

}  // namespace tablift::jet
