#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "data_access/jet/sql/query_binder.h"
#include "data_access/jet/sql/row_sources.h"

namespace tablift::jet {

// Producers of result rows. A row holds the result columns, converted to
// their column types, followed by the ORDER BY keys, which the sort stage
// reads and the caller cuts off. Failures are thrown as by RowSource.
class ResultStage {
 public:
  virtual ~ResultStage() = default;
  virtual bool next(std::vector<Value>& out) = 0;
};

// One result row per joined row: streams.
std::unique_ptr<ResultStage> MakeProjection(std::unique_ptr<RowSource> input,
                                            const BoundQuery& query, std::vector<Value>& row);

// One result row per group (a single group without GROUP BY, even over no
// rows). It reads all input before the first row, keeping one row and the
// aggregate states per group, not the input; groups come out in the order of
// their GROUP BY values, as Access returns them.
std::unique_ptr<ResultStage> MakeGrouping(std::unique_ptr<RowSource> input, const BoundQuery& query,
                                          std::vector<Value>& row);

// Leaves out rows whose first `width` values equal an earlier row's; it
// remembers every distinct row it has passed on.
std::unique_ptr<ResultStage> MakeDistinct(std::unique_ptr<ResultStage> input, std::size_t width);

// ORDER BY: holds all result rows, then hands them out sorted (Nulls first
// when ascending, last when descending; equal keys keep their order).
std::unique_ptr<ResultStage> MakeSort(std::unique_ptr<ResultStage> input, std::size_t width,
                                      std::vector<bool> descending);

// TOP n: the first n rows (rows tied with the last one are not added).
std::unique_ptr<ResultStage> MakeLimit(std::unique_ptr<ResultStage> input, std::int64_t count);

}  // namespace tablift::jet
