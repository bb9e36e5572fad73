#pragma once

#include <cstdint>
#include <vector>

namespace tablift::jet {

// The pages that belong to one object (a table's rows, a column's long
// values), kept as ascending runs: a table's pages are mostly consecutive, so
// even a table of millions of rows needs little memory to remember them.
class PageSet {
 public:
  struct Run {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    std::uint32_t end() const { return first + count; }
  };

  void add(std::uint32_t page);
  bool empty() const { return runs_.empty(); }
  bool contains(std::uint32_t page) const;
  std::uint32_t first() const { return runs_.front().first; }
  std::uint32_t last() const { return runs_.back().end() - 1; }
  const std::vector<Run>& runs() const { return runs_; }

 private:
  std::vector<Run> runs_;
};

}  // namespace tablift::jet
