#pragma once

#include <cstdint>
#include <vector>

#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/page_file.h"
#include "data_access/jet/writer/page_set.h"

namespace tablift::jet {

// Collects the entries of one physical index while rows are written, then
// writes them sorted as a tree of index pages: leaf pages (type 0x04) holding
// every entry, and node pages (type 0x03) above them holding the last entry
// of each page below and its page number, up to a single root page.
//
// Entries are kept in memory until the end (their keys only, a few bytes
// per row), because pages can only be written once the order is known.
class IndexBuilder {
 public:
  explicit IndexBuilder(bool unique) : unique_(unique) {}

  // True when a unique index already holds this key.
  bool holds(const ByteVector& key) const;

  // Adds an entry pointing at a row (page << 8 | row). `complete` tells
  // whether every key column has a value; only complete keys must be unique.
  void add(const ByteVector& key, std::uint32_t pageRow, bool complete);

  std::uint32_t entryCount() const { return static_cast<std::uint32_t>(entries_.size()); }

  // Writes the pages of the index of the table defined on `ownerPage`.
  WriteStatus writePages(PageFile& file, std::uint32_t ownerPage);
  std::uint32_t rootPage() const { return rootPage_; }
  const PageSet& pages() const { return pages_; }

 private:
  struct Entry {
    std::uint32_t keyOffset = 0;
    std::uint32_t keyLength = 0;
    std::uint32_t pageRow = 0;
  };

  bool sameKey(std::uint32_t entry, const ByteVector& key) const;
  void remember(std::uint32_t entry, std::uint64_t hash);

  bool unique_;
  ByteVector keyBytes_;
  std::vector<Entry> entries_;
  // A unique index finds keys it holds through an open-addressing table of
  // entry numbers (plus one; zero is a free slot), four bytes a slot, the
  // keys themselves staying in keyBytes_.
  std::vector<std::uint32_t> slots_;
  std::size_t remembered_ = 0;
  std::uint32_t rootPage_ = 0;
  PageSet pages_;
};

}  // namespace tablift::jet
