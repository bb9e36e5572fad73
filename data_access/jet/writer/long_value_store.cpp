#include "data_access/jet/writer/long_value_store.h"

#include <algorithm>

#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

// The most one row can hold on an otherwise empty page.
constexpr std::size_t kLargestSingleRow = jet4::kPageSize - jet4::kDataPageRowOffsetsStart - 2;

ByteVector LongValueField(std::uint32_t lengthAndFlags, std::uint32_t pageRow) {
  ByteVector field(jet4::kLongValueFieldSize, 0);
  StoreLe32(&field[0], lengthAndFlags);
  StoreLe32(&field[4], pageRow);
  return field;
}

std::uint32_t PageRow(std::uint32_t page, std::uint8_t row) {
  return (page << 8) | row;
}

}  // namespace

ByteVector InlineLongValueField(std::span<const std::uint8_t> content) {
  ByteVector field =
      LongValueField(static_cast<std::uint32_t>(content.size()) | jet4::kLongValueInline, 0);
  field.insert(field.end(), content.begin(), content.end());
  return field;
}

WriteStatus LongValueStore::store(std::span<const std::uint8_t> content, ByteVector& field) {
  if (content.size() > jet4::kMaxLongValueLength) {
    return WriteStatus::Failure(WriteError::InvalidValue, "the value is larger than 1 GB");
  }
  if (content.size() <= kLargestSingleRow) return storeSingleRow(content, field);
  return storeChain(content, field);
}

WriteStatus LongValueStore::storeSingleRow(std::span<const std::uint8_t> content,
                                           ByteVector& field) {
  if (!page_.empty() && !page_.fits(content.size())) {
    if (WriteStatus status = writeOpenPage(); !status) return status;
  }
  if (page_.empty()) {
    if (WriteStatus status = file_.allocate(pageNumber_); !status) return status;
    pages_.add(pageNumber_);
  }
  const std::uint8_t row = page_.add(content);
  field = LongValueField(static_cast<std::uint32_t>(content.size()) | jet4::kLongValueSingleRow,
                         PageRow(pageNumber_, row));
  return WriteStatus::Success();
}

WriteStatus LongValueStore::storeChain(std::span<const std::uint8_t> content, ByteVector& field) {
  const auto chunks = static_cast<std::uint32_t>((content.size() + jet4::kLongValueChainChunk - 1) /
                                                 jet4::kLongValueChainChunk);
  std::uint32_t firstPage = 0;
  if (WriteStatus status = file_.allocateRun(chunks, firstPage); !status) return status;
  DataPageBuilder chainPage = DataPageBuilder::ForLongValues();
  ByteVector row;
  for (std::uint32_t i = 0; i < chunks; ++i) {
    const std::size_t start = std::size_t{i} * jet4::kLongValueChainChunk;
    const std::size_t length = std::min(jet4::kLongValueChainChunk, content.size() - start);
    const bool last = i + 1 == chunks;
    row.assign(4, 0);
    StoreLe32(row.data(), last ? 0 : PageRow(firstPage + i + 1, 0));
    row.insert(row.end(), content.begin() + static_cast<std::ptrdiff_t>(start),
               content.begin() + static_cast<std::ptrdiff_t>(start + length));
    chainPage.add(row);
    if (WriteStatus status = file_.write(firstPage + i, chainPage.take()); !status) return status;
    pages_.add(firstPage + i);
  }
  field = LongValueField(static_cast<std::uint32_t>(content.size()), PageRow(firstPage, 0));
  return WriteStatus::Success();
}

WriteStatus LongValueStore::writeOpenPage() {
  if (page_.empty()) return WriteStatus::Success();
  return file_.write(pageNumber_, page_.take());
}

WriteStatus LongValueStore::finish() {
  if (!page_.empty() && page_.fits(1)) pagesWithRoom_.add(pageNumber_);
  return writeOpenPage();
}

}  // namespace tablift::jet
