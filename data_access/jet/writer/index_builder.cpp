#include "data_access/jet/writer/index_builder.h"

#include <algorithm>
#include <cstring>

#include "data_access/jet/writer/index_pages.h"

namespace tablift::jet {
namespace {

ByteVector PageRowBytes(std::uint32_t pageRow) {
  // Index entries address rows big-endian: three bytes of page, one of row.
  return {static_cast<std::uint8_t>(pageRow >> 24), static_cast<std::uint8_t>(pageRow >> 16),
          static_cast<std::uint8_t>(pageRow >> 8), static_cast<std::uint8_t>(pageRow)};
}

// FNV-1a over the key bytes.
std::uint64_t KeyHash(const std::uint8_t* bytes, std::size_t length) {
  std::uint64_t hash = 1469598103934665603ull;
  for (std::size_t i = 0; i < length; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

ByteVector PageNumberBytes(std::uint32_t page) {
  return {static_cast<std::uint8_t>(page >> 24), static_cast<std::uint8_t>(page >> 16),
          static_cast<std::uint8_t>(page >> 8), static_cast<std::uint8_t>(page)};
}

// One level of the tree: pages filled in order, each written once the next
// one is known so that they can point at each other.
class LevelWriter {
 public:
  LevelWriter(PageFile& file, bool leaf, std::uint32_t ownerPage, PageSet& pages)
      : file_(file), leaf_(leaf), ownerPage_(ownerPage), pages_(pages), page_(leaf, ownerPage) {}

  WriteStatus add(const ByteVector& entry) {
    if (!page_.empty() && !page_.fits(entry.size())) {
      if (WriteStatus status = close(); !status) return status;
    }
    if (page_.empty() && pageNumber_ == 0) {
      if (WriteStatus status = file_.allocate(pageNumber_); !status) return status;
      pages_.add(pageNumber_);
    }
    page_.add(entry);
    return WriteStatus::Success();
  }

  // Writes the last page (an empty one when the level has no entries).
  WriteStatus finish() {
    if (pageNumber_ == 0) {
      if (WriteStatus status = file_.allocate(pageNumber_); !status) return status;
      pages_.add(pageNumber_);
    }
    finished_.push_back({pageNumber_, page_.lastEntry()});
    return file_.write(pageNumber_, page_.take(previousPage_, 0));
  }

  // The pages of this level with the last entry of each.
  struct Written {
    std::uint32_t page = 0;
    ByteVector lastEntry;
  };
  const std::vector<Written>& written() const { return finished_; }

 private:
  WriteStatus close() {
    std::uint32_t next = 0;
    if (WriteStatus status = file_.allocate(next); !status) return status;
    pages_.add(next);
    finished_.push_back({pageNumber_, page_.lastEntry()});
    if (WriteStatus status = file_.write(pageNumber_, page_.take(previousPage_, next)); !status) {
      return status;
    }
    previousPage_ = pageNumber_;
    pageNumber_ = next;
    page_ = IndexPageBuilder(leaf_, ownerPage_);
    return WriteStatus::Success();
  }

  PageFile& file_;
  bool leaf_;
  std::uint32_t ownerPage_;
  PageSet& pages_;
  IndexPageBuilder page_;
  std::uint32_t pageNumber_ = 0;
  std::uint32_t previousPage_ = 0;
  std::vector<Written> finished_;
};

}  // namespace

bool IndexBuilder::sameKey(std::uint32_t entry, const ByteVector& key) const {
  const Entry& held = entries_[entry];
  return held.keyLength == key.size() &&
         std::memcmp(keyBytes_.data() + held.keyOffset, key.data(), key.size()) == 0;
}

bool IndexBuilder::holds(const ByteVector& key) const {
  if (!unique_ || slots_.empty()) return false;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = KeyHash(key.data(), key.size()) & mask; slots_[slot] != 0;
       slot = (slot + 1) & mask) {
    if (sameKey(slots_[slot] - 1, key)) return true;
  }
  return false;
}

void IndexBuilder::remember(std::uint32_t entry, std::uint64_t hash) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  while (slots_[slot] != 0)
    slot = (slot + 1) & mask;
  slots_[slot] = entry + 1;
}

void IndexBuilder::add(const ByteVector& key, std::uint32_t pageRow, bool complete) {
  const auto entry = static_cast<std::uint32_t>(entries_.size());
  entries_.push_back({static_cast<std::uint32_t>(keyBytes_.size()),
                      static_cast<std::uint32_t>(key.size()), pageRow});
  keyBytes_.insert(keyBytes_.end(), key.begin(), key.end());
  if (!unique_ || !complete) return;
  // Keep the table at most half full, growing it by doubling.
  if (2 * (remembered_ + 1) > slots_.size()) {
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(64, 2 * old.size()), 0);
    for (const std::uint32_t held : old) {
      if (held == 0) continue;
      const Entry& item = entries_[held - 1];
      remember(held - 1, KeyHash(keyBytes_.data() + item.keyOffset, item.keyLength));
    }
  }
  remember(entry, KeyHash(key.data(), key.size()));
  ++remembered_;
}

WriteStatus IndexBuilder::writePages(PageFile& file, std::uint32_t ownerPage) {
  // Sorting renumbers the entries; the table of unique keys is done with.
  slots_ = {};
  // Entries sort by their bytes, which is why keys are encoded the way they
  // are; equal keys follow the order of their rows.
  std::sort(entries_.begin(), entries_.end(), [this](const Entry& left, const Entry& right) {
    const std::uint8_t* a = keyBytes_.data() + left.keyOffset;
    const std::uint8_t* b = keyBytes_.data() + right.keyOffset;
    const int order = std::memcmp(a, b, std::min(left.keyLength, right.keyLength));
    if (order != 0) return order < 0;
    if (left.keyLength != right.keyLength) return left.keyLength < right.keyLength;
    return left.pageRow < right.pageRow;
  });

  LevelWriter leaves(file, true, ownerPage, pages_);
  ByteVector entry;
  for (const Entry& item : entries_) {
    const auto key = keyBytes_.begin() + item.keyOffset;
    entry.assign(key, key + item.keyLength);
    AppendBytes(entry, PageRowBytes(item.pageRow));
    if (WriteStatus status = leaves.add(entry); !status) return status;
  }
  if (WriteStatus status = leaves.finish(); !status) return status;

  // Node levels: each entry is the last entry of a page below and its number.
  std::vector<LevelWriter::Written> below = leaves.written();
  while (below.size() > 1) {
    LevelWriter nodes(file, false, ownerPage, pages_);
    for (const LevelWriter::Written& child : below) {
      entry = child.lastEntry;
      AppendBytes(entry, PageNumberBytes(child.page));
      if (WriteStatus status = nodes.add(entry); !status) return status;
    }
    if (WriteStatus status = nodes.finish(); !status) return status;
    below = nodes.written();
  }
  rootPage_ = below.front().page;
  return WriteStatus::Success();
}

}  // namespace tablift::jet
