#include "data_access/jet/writer/usage_map.h"

#include <algorithm>

#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

constexpr std::uint8_t kInlineMap = 0x00;
constexpr std::uint8_t kReferenceMap = 0x01;
constexpr std::size_t kReferenceBitmapOffset = 4;
constexpr std::uint32_t kInlineMapPages = jet4::kInlineMapBitmapBytes * 8;
// The free page map may grow past 64 bytes; beyond what fits on page 1 it
// becomes a reference map.
constexpr std::size_t kLargestInlineFreeMap = 3968;

void SetBit(std::uint8_t* bitmap, std::uint32_t bit) {
  bitmap[bit / 8] = static_cast<std::uint8_t>(bitmap[bit / 8] | (1u << (bit % 8)));
}

ByteVector InlineMapRow(std::uint32_t startPage, std::size_t bitmapBytes) {
  ByteVector row(5 + bitmapBytes, 0);
  row[0] = kInlineMap;
  StoreLe32(&row[1], startPage);
  return row;
}

ByteVector NewReferencePage() {
  ByteVector page(jet4::kPageSize, 0);
  page[0] = jet4::kPageUsageBitmap;
  page[1] = 0x01;
  return page;
}

}  // namespace

WriteStatus BuildUsageMapRow(const PageSet& pages, PageFile& file, ByteVector& row) {
  const std::uint32_t start = pages.empty() ? 0 : pages.first() & ~7u;
  if (pages.empty() || pages.last() - start < kInlineMapPages) {
    row = InlineMapRow(start, jet4::kInlineMapBitmapBytes);
    for (const PageSet::Run& run : pages.runs()) {
      for (std::uint32_t page = run.first; page < run.end(); ++page) {
        SetBit(&row[5], page - start);
      }
    }
    return WriteStatus::Success();
  }

  row.assign(1 + 4 * jet4::kReferenceMapPointers, 0);
  row[0] = kReferenceMap;
  const std::uint32_t firstBlock = pages.first() / jet4::kPagesPerReferenceMap;
  const std::uint32_t lastBlock = pages.last() / jet4::kPagesPerReferenceMap;
  for (std::uint32_t block = firstBlock; block <= lastBlock; ++block) {
    const std::uint32_t blockStart = block * jet4::kPagesPerReferenceMap;
    const std::uint32_t blockEnd = blockStart + jet4::kPagesPerReferenceMap;
    ByteVector bitmap = NewReferencePage();
    bool any = false;
    for (const PageSet::Run& run : pages.runs()) {
      const std::uint32_t from = std::max(run.first, blockStart);
      const std::uint32_t to = std::min(run.end(), blockEnd);
      for (std::uint32_t page = from; page < to; ++page) {
        SetBit(&bitmap[kReferenceBitmapOffset], page - blockStart);
        any = true;
      }
    }
    if (!any) continue;
    std::uint32_t bitmapPage = 0;
    if (WriteStatus status = file.allocate(bitmapPage); !status) return status;
    if (WriteStatus status = file.write(bitmapPage, bitmap); !status) return status;
    StoreLe32(&row[1 + 4 * block], bitmapPage);
  }
  return WriteStatus::Success();
}

WriteStatus BuildFreePageMapRow(PageFile& file, ByteVector& row) {
  const std::uint32_t usedBytes = (file.pageCount() + 7) / 8 + 1;
  const std::size_t inlineBytes =
      std::max<std::size_t>(jet4::kInlineMapBitmapBytes, (usedBytes + 31) / 32 * 32);
  if (inlineBytes <= kLargestInlineFreeMap) {
    row = InlineMapRow(0, inlineBytes);
    for (std::uint32_t page = file.pageCount(); page < inlineBytes * 8; ++page) {
      SetBit(&row[5], page);
    }
    return WriteStatus::Success();
  }

  // The bitmap pages are pages of the file too: allocate them first, then
  // mark what lies beyond the end.
  std::uint32_t blocks = 0;
  std::vector<std::uint32_t> bitmapPages;
  while (bitmapPages.size() < (blocks = file.pageCount() / jet4::kPagesPerReferenceMap + 1)) {
    if (blocks > jet4::kReferenceMapPointers) {
      return WriteStatus::Failure(WriteError::DatabaseTooLarge,
                                  "The database would exceed the Jet 4 limit of 2 GB");
    }
    std::uint32_t page = 0;
    if (WriteStatus status = file.allocate(page); !status) return status;
    bitmapPages.push_back(page);
  }
  row.assign(1 + 4 * jet4::kReferenceMapPointers, 0);
  row[0] = kReferenceMap;
  const std::uint32_t end = file.pageCount();
  for (std::uint32_t block = 0; block < bitmapPages.size(); ++block) {
    ByteVector bitmap = NewReferencePage();
    const std::uint32_t blockStart = block * jet4::kPagesPerReferenceMap;
    for (std::uint32_t bit = 0; bit < jet4::kPagesPerReferenceMap; ++bit) {
      if (blockStart + bit >= end) SetBit(&bitmap[kReferenceBitmapOffset], bit);
    }
    if (WriteStatus status = file.write(bitmapPages[block], bitmap); !status) return status;
    StoreLe32(&row[1 + 4 * block], bitmapPages[block]);
  }
  return WriteStatus::Success();
}

}  // namespace tablift::jet
