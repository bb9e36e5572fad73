#include "data_access/jet/sql/result_stages.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "data_access/jet/sql/group_aggregates.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/value_comparison.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

// The result columns and sort keys of the current row (or group), written
// over what `out` held. With `consumable`, the values of plain column
// references are taken out of that row instead of copied (a Memo or OLE
// value can be large); the row is overwritten by the next one anyway. A
// value already of its column's kind is swapped with the one `out` held, so
// that the table's cursor decodes a later row into that value's memory
// rather than into new memory for every text of every row.
void ComputeResultRow(const BoundQuery& query, const EvalContext& context,
                      const std::vector<bool>& movable, std::vector<Value>* consumable,
                      std::vector<Value>& out) {
  const std::size_t width = query.outputs.size();
  out.resize(width + query.statement.orderBy.size());
  for (std::size_t k = 0; k < query.statement.orderBy.size(); ++k) {
    out[width + k] = Evaluate(*query.statement.orderBy[k].expr, context);
  }
  for (std::size_t i = 0; i < width; ++i) {
    if (consumable && movable[i]) continue;
    const Expr& expr = *query.outputs[i];
    out[i] = ResultValue(expr, query.columns[i], Evaluate(expr, context));
  }
  if (!consumable) return;
  for (std::size_t i = 0; i < width; ++i) {
    if (!movable[i]) continue;
    const Expr& expr = *query.outputs[i];
    Value& value = (*consumable)[expr.slot];
    if (HoldsKindOf(value, query.columns[i].type)) {
      out[i].swap(value);
    } else {
      out[i] = ResultValue(expr, query.columns[i], std::move(value));
    }
  }
}

// Result columns that are plain column references, each to a slot that no
// other result column names: their values can be moved out of the row. Only
// with a single table, where every row rewrites every slot; in a join the
// outer table's values stay for all the inner rows.
std::vector<bool> MovableOutputs(const BoundQuery& query) {
  // A subquery's values from the enclosing query stay for all its rows.
  const auto plain = [&query](const Expr& expr) {
    return expr.kind == ExprKind::Column && expr.aliasOf == nullptr && expr.slot < query.rowWidth;
  };
  std::vector<bool> movable(query.outputs.size(), false);
  if (query.tables.size() != 1) return movable;
  for (std::size_t i = 0; i < query.outputs.size(); ++i) {
    if (!plain(*query.outputs[i])) continue;
    movable[i] = true;
    for (std::size_t j = 0; j < query.outputs.size(); ++j) {
      if (j != i && plain(*query.outputs[j]) && query.outputs[j]->slot == query.outputs[i]->slot) {
        movable[i] = false;
      }
    }
  }
  return movable;
}

class Projection : public ResultStage {
 public:
  Projection(std::unique_ptr<RowSource> input, const BoundQuery& query, std::vector<Value>& row)
      : input_(std::move(input)), query_(query), row_(row), movable_(MovableOutputs(query)) {
    context_.row = &row;
  }

  bool next(std::vector<Value>& out) override {
    if (!opened_) {
      input_->open();
      opened_ = true;
    }
    if (!input_->next()) return false;
    ComputeResultRow(query_, context_, movable_, &row_, out);
    return true;
  }

 private:
  std::unique_ptr<RowSource> input_;
  const BoundQuery& query_;
  std::vector<Value>& row_;
  std::vector<bool> movable_;
  EvalContext context_;
  bool opened_ = false;
};

class Grouping : public ResultStage {
 public:
  Grouping(std::unique_ptr<RowSource> input, const BoundQuery& query, std::vector<Value>& row)
      : input_(std::move(input)), query_(query), row_(row) {}

  bool next(std::vector<Value>& out) override {
    if (!done_) {
      readAll();
      done_ = true;
      cursor_ = order_.begin();
    }
    while (cursor_ != order_.end()) {
      Group& group = groups_[cursor_->second];
      ++cursor_;
      std::vector<Value> aggregates = AccumulatorResults(group.accumulators);
      EvalContext context;
      context.row = &group.row;
      context.aggregates = &aggregates;
      if (query_.statement.having && EvaluateCondition(*query_.statement.having, context) != true) {
        continue;
      }
      ComputeResultRow(query_, context, {}, nullptr, out);
      return true;
    }
    return false;
  }

 private:
  struct Group {
    std::vector<Value> row;  // the group's first row stands for its columns
    std::vector<AggregateAccumulator> accumulators;
  };

  Group newGroup(std::vector<Value> row) const {
    Group group;
    group.row = std::move(row);
    group.accumulators = NewAccumulators(query_.aggregates, 0, query_.aggregates.size());
    return group;
  }

  void readAll() {
    EvalContext context;
    context.row = &row_;
    input_->open();
    std::vector<Value> key;
    while (input_->next()) {
      key.clear();
      for (const ExprPtr& group : query_.statement.groupBy)
        key.push_back(Evaluate(*group, context));
      auto found = order_.find(key);
      if (found == order_.end()) {
        found = order_.emplace(key, groups_.size()).first;
        groups_.push_back(newGroup(row_));
      }
      Group& group = groups_[found->second];
      for (std::size_t i = 0; i < query_.aggregates.size(); ++i)
        Accumulate(group.accumulators[i], query_.aggregates[i], context);
    }
    if (groups_.empty() && query_.statement.groupBy.empty()) {
      order_.emplace(std::vector<Value>{}, 0);
      // No table row, but a subquery's values from the enclosing query.
      std::vector<Value> empty = row_;
      std::fill(empty.begin(), empty.begin() + static_cast<std::ptrdiff_t>(query_.rowWidth),
                Value(Null{}));
      groups_.push_back(newGroup(std::move(empty)));
    }
  }

  std::unique_ptr<RowSource> input_;
  const BoundQuery& query_;
  std::vector<Value>& row_;
  std::vector<Group> groups_;
  std::map<std::vector<Value>, std::size_t, RowLess> order_;
  std::map<std::vector<Value>, std::size_t, RowLess>::const_iterator cursor_;
  bool done_ = false;
};

class Distinct : public ResultStage {
 public:
  Distinct(std::unique_ptr<ResultStage> input, std::size_t width)
      : input_(std::move(input)), width_(width) {}

  bool next(std::vector<Value>& out) override {
    while (input_->next(out)) {
      std::vector<Value> visible(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(width_));
      if (seen_.insert(std::move(visible)).second) return true;
    }
    return false;
  }

 private:
  std::unique_ptr<ResultStage> input_;
  std::size_t width_;
  std::set<std::vector<Value>, RowLess> seen_;
};

class Sort : public ResultStage {
 public:
  Sort(std::unique_ptr<ResultStage> input, std::size_t width, std::vector<bool> descending)
      : input_(std::move(input)), width_(width), descending_(std::move(descending)) {}

  bool next(std::vector<Value>& out) override {
    if (!sorted_) {
      std::vector<Value> row;
      while (input_->next(row))
        rows_.push_back(std::move(row));
      std::stable_sort(rows_.begin(), rows_.end(),
                       [this](const std::vector<Value>& a, const std::vector<Value>& b) {
                         for (std::size_t k = 0; k < descending_.size(); ++k) {
                           const int c = CompareForOrdering(a[width_ + k], b[width_ + k]);
                           if (c != 0) return descending_[k] ? c > 0 : c < 0;
                         }
                         return false;
                       });
      sorted_ = true;
    }
    if (position_ >= rows_.size()) return false;
    out = std::move(rows_[position_]);
    // Hand back memory as rows leave.
    rows_[position_++] = std::vector<Value>();
    return true;
  }

 private:
  std::unique_ptr<ResultStage> input_;
  std::size_t width_;
  std::vector<bool> descending_;
  std::vector<std::vector<Value>> rows_;
  std::size_t position_ = 0;
  bool sorted_ = false;
};

class Top : public ResultStage {
 public:
  Top(std::unique_ptr<ResultStage> input, std::size_t width, std::size_t keys, double count,
      bool percent)
      : input_(std::move(input)), width_(width), keys_(keys), count_(count), percent_(percent) {}

  bool next(std::vector<Value>& out) override {
    if (!started_) start();
    if (remaining_ > 0) {
      if (!pull(out)) return false;
      --remaining_;
      if (remaining_ == 0 && keys_ > 0) last_ = out;
      return true;
    }
    // Past the n-th row: the rows tied with it on every ORDER BY value.
    if (keys_ == 0 || last_.empty() || !pull(out)) return false;
    for (std::size_t k = 0; k < keys_; ++k) {
      if (CompareForOrdering(out[width_ + k], last_[width_ + k]) != 0) return false;
    }
    return true;
  }

 private:
  void start() {
    started_ = true;
    if (!percent_) {
      remaining_ = static_cast<std::size_t>(count_);
      return;
    }
    // A share of the rows needs their number first.
    std::vector<Value> row;
    while (input_->next(row))
      held_.push_back(std::move(row));
    remaining_ =
        static_cast<std::size_t>(std::ceil(count_ * static_cast<double>(held_.size()) / 100.0));
  }

  bool pull(std::vector<Value>& out) {
    if (!percent_) return input_->next(out);
    if (position_ >= held_.size()) return false;
    out = std::move(held_[position_++]);
    return true;
  }

  std::unique_ptr<ResultStage> input_;
  std::size_t width_;
  std::size_t keys_;
  double count_;
  bool percent_;
  bool started_ = false;
  std::size_t remaining_ = 0;
  std::vector<Value> last_;
  std::vector<std::vector<Value>> held_;
  std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<ResultStage> MakeProjection(std::unique_ptr<RowSource> input,
                                            const BoundQuery& query, std::vector<Value>& row) {
  return std::make_unique<Projection>(std::move(input), query, row);
}

std::unique_ptr<ResultStage> MakeGrouping(std::unique_ptr<RowSource> input, const BoundQuery& query,
                                          std::vector<Value>& row) {
  return std::make_unique<Grouping>(std::move(input), query, row);
}

std::unique_ptr<ResultStage> MakeDistinct(std::unique_ptr<ResultStage> input, std::size_t width) {
  return std::make_unique<Distinct>(std::move(input), width);
}

std::unique_ptr<ResultStage> MakeSort(std::unique_ptr<ResultStage> input, std::size_t width,
                                      std::vector<bool> descending) {
  return std::make_unique<Sort>(std::move(input), width, std::move(descending));
}

std::unique_ptr<ResultStage> MakeTop(std::unique_ptr<ResultStage> input, std::size_t width,
                                     std::size_t keys, double count, bool percent) {
  return std::make_unique<Top>(std::move(input), width, keys, count, percent);
}

Value ResultValue(const Expr& expr, const ResultColumn& column, Value value) {
  try {
    return ConvertToType(std::move(value), column.type, column.scale);
  } catch (QueryError& error) {
    error.locate(expr.clause, expr.position);
    throw;
  }
}

}  // namespace tablift::jet
