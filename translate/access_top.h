#pragma once

#include <string>
#include <vector>

namespace tablift {

// One ORDER BY term of a SELECT with TOP, in MySQL text.
struct SortKey {
  std::string sql;
  bool descending = false;
};

// The clauses of a SELECT with TOP, in MySQL text, without their keywords
// (empty when absent).
struct SelectClauses {
  std::string from, where, groupBy, having;
};

// The condition that keeps the rows of TOP `count` as Access keeps them:
// the first `count` rows in the order of `keys` and every row that ties
// with the last of them (where LIMIT would cut ties off at random). A row
// is kept unless it sorts after the count-th row, or when there are fewer
// rows than `count`. Nulls sort first, as in Access and MySQL. It belongs
// in WHERE, or in HAVING when the rows are grouped.
std::string TopWithTiesCondition(const SelectClauses& clauses, const std::vector<SortKey>& keys,
                                 unsigned long count);

}  // namespace tablift
