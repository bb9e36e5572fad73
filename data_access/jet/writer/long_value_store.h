#pragma once

#include <cstdint>
#include <span>

#include "data_access/jet/writer/data_page_builder.h"
#include "data_access/jet/writer/page_file.h"
#include "data_access/jet/writer/page_set.h"

namespace tablift::jet {

// The 12-byte field of a long value (Memo, OLE Object) kept in the row
// itself, followed by the content.
ByteVector InlineLongValueField(std::span<const std::uint8_t> content);

// The long-value pages ("LVAL") of one Memo or OLE Object column. A value up
// to a page goes as one row onto the column's open page, shared with other
// values; a larger one becomes a chain of pages, each a row of a pointer to
// the next page and the next 4072 bytes.
class LongValueStore {
 public:
  explicit LongValueStore(PageFile& file) : file_(file), page_(DataPageBuilder::ForLongValues()) {}

  // Stores `content` outside the row and gives the field that points to it.
  WriteStatus store(std::span<const std::uint8_t> content, ByteVector& field);

  // Writes the open page; the store takes no more values.
  WriteStatus finish();

  const PageSet& pages() const { return pages_; }
  // The last page if it still has room: what the free space map lists.
  const PageSet& pagesWithRoom() const { return pagesWithRoom_; }

 private:
  WriteStatus writeOpenPage();
  WriteStatus storeSingleRow(std::span<const std::uint8_t> content, ByteVector& field);
  WriteStatus storeChain(std::span<const std::uint8_t> content, ByteVector& field);

  PageFile& file_;
  DataPageBuilder page_;
  std::uint32_t pageNumber_ = 0;
  PageSet pages_;
  PageSet pagesWithRoom_;
};

}  // namespace tablift::jet
