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

bool IndexBuilder::holds(const ByteVector& key) const {
  return unique_ && completeKeys_.count(std::string(key.begin(), key.end())) != 0;
}

void IndexBuilder::add(const ByteVector& key, std::uint32_t pageRow, bool complete) {
  entries_.push_back({static_cast<std::uint32_t>(keyBytes_.size()),
                      static_cast<std::uint32_t>(key.size()), pageRow});
  keyBytes_.insert(keyBytes_.end(), key.begin(), key.end());
  if (unique_ && complete) completeKeys_.emplace(key.begin(), key.end());
}

WriteStatus IndexBuilder::writePages(PageFile& file, std::uint32_t ownerPage) {
  completeKeys_.clear();
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
