#pragma once

#include <cstdint>
#include <vector>

#include "data_access/jet/writer/little_endian.h"

namespace tablift::jet {

// Lays out index pages. An entry is stored whole (no shared prefix); the
// page's bitmap marks the end of every entry, counted from offset 0x1E0.
class IndexPageBuilder {
 public:
  // `leaf`: a page of entries (type 0x04), else a node page (type 0x03).
  IndexPageBuilder(bool leaf, std::uint32_t ownerPage);

  bool fits(std::size_t entryLength) const;
  bool empty() const { return used_ == 0; }
  void add(const ByteVector& entry);
  const ByteVector& lastEntry() const { return last_; }

  // The finished page, linked to its neighbours on the same level.
  ByteVector take(std::uint32_t previousPage, std::uint32_t nextPage);

 private:
  ByteVector page_;
  std::size_t used_ = 0;
  ByteVector last_;
};

}  // namespace tablift::jet
