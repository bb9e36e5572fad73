#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
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

// TOP n: the first n rows, or with `percent` the first ceil(n% of all rows);
// with `keys` ORDER BY values after the `width` result columns, also the rows
// tied with the last of them on all those values, as Access returns them.
std::unique_ptr<ResultStage> MakeTop(std::unique_ptr<ResultStage> input, std::size_t width,
                                     std::size_t keys, double count, bool percent);

// TRANSFORM ... PIVOT: one row per group, its result columns followed by one
// column per pivot value, holding the TRANSFORM expression over the group's
// rows with that value (Null when there are none). `pivotColumns` finds a
// value's column; rows whose value has none are left out.
class PivotColumns {
 public:
  virtual ~PivotColumns() = default;
  virtual std::optional<std::size_t> columnOf(const Value& value) const = 0;
  virtual std::size_t count() const = 0;
};
std::unique_ptr<ResultStage> MakeCrosstab(std::unique_ptr<RowSource> input, const BoundQuery& query,
                                          std::vector<Value>& row, const PivotColumns& pivotColumns,
                                          const ResultColumn& cellColumn);

// The distinct pivot values of the rows, in ascending order (Null first).
std::vector<Value> DistinctPivotValues(std::unique_ptr<RowSource> input, const BoundQuery& query,
                                       std::vector<Value>& row);

}  // namespace tablift::jet
