#include "data_access/jet/writer/page_set.h"

#include <algorithm>

namespace tablift::jet {

void PageSet::add(std::uint32_t page) {
  if (!runs_.empty() && page == runs_.back().end()) {
    ++runs_.back().count;
    return;
  }
  if (runs_.empty() || page > runs_.back().end()) {
    runs_.push_back({page, 1});
    return;
  }
  // Out of order: keep the runs sorted and merged.
  if (contains(page)) return;
  auto next =
      std::upper_bound(runs_.begin(), runs_.end(), page,
                       [](std::uint32_t value, const Run& run) { return value < run.first; });
  auto inserted = runs_.insert(next, {page, 1});
  if (inserted != runs_.begin()) {
    auto before = std::prev(inserted);
    if (before->end() == page) {
      ++before->count;
      inserted = runs_.erase(inserted);
      inserted = std::prev(inserted);
    }
  }
  auto after = std::next(inserted);
  if (after != runs_.end() && inserted->end() == after->first) {
    inserted->count += after->count;
    runs_.erase(after);
  }
}

bool PageSet::contains(std::uint32_t page) const {
  auto next =
      std::upper_bound(runs_.begin(), runs_.end(), page,
                       [](std::uint32_t value, const Run& run) { return value < run.first; });
  if (next == runs_.begin()) return false;
  return page < std::prev(next)->end();
}

}  // namespace tablift::jet
