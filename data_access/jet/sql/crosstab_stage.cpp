// TRANSFORM ... PIVOT: groups of rows, and in each group one cell per pivot
// value.

#include <map>
#include <set>
#include <utility>

#include "data_access/jet/sql/group_aggregates.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/result_stages.h"
#include "data_access/jet/sql/value_comparison.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

class Crosstab : public ResultStage {
 public:
  Crosstab(std::unique_ptr<RowSource> input, const BoundQuery& query, std::vector<Value>& row,
           const PivotColumns& pivotColumns, const ResultColumn& cellColumn)
      : input_(std::move(input)),
        query_(query),
        row_(row),
        pivotColumns_(pivotColumns),
        cellColumn_(cellColumn) {}

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
      out.clear();
      for (std::size_t i = 0; i < query_.outputs.size(); ++i) {
        const Expr& expr = *query_.outputs[i];
        out.push_back(ResultValue(expr, query_.columns[i], Evaluate(expr, context)));
      }
      std::vector<Value> keys;
      for (const OrderItem& item : query_.statement.orderBy)
        keys.push_back(Evaluate(*item.expr, context));
      const Expr& transform = *query_.statement.transform;
      for (const std::vector<AggregateAccumulator>& cell : group.cells) {
        if (cell.empty()) {
          out.push_back(Null{});
          continue;
        }
        std::vector<Value> cellResults = AccumulatorResults(cell);
        for (std::size_t a = query_.cellAggregates; a < aggregates.size(); ++a)
          aggregates[a] = std::move(cellResults[a - query_.cellAggregates]);
        out.push_back(ResultValue(transform, cellColumn_, Evaluate(transform, context)));
      }
      // ORDER BY values after the columns, for the sort stage.
      for (Value& key : keys)
        out.push_back(std::move(key));
      return true;
    }
    return false;
  }

 private:
  struct Group {
    std::vector<Value> row;
    std::vector<AggregateAccumulator> accumulators;        // the select list's aggregates
    std::vector<std::vector<AggregateAccumulator>> cells;  // per pivot column; empty: no row
  };

  void readAll() {
    EvalContext context;
    context.row = &row_;
    input_->open();
    std::vector<Value> key;
    const std::size_t cellBegin = query_.cellAggregates;
    while (input_->next()) {
      key.clear();
      for (const ExprPtr& group : query_.statement.groupBy)
        key.push_back(Evaluate(*group, context));
      auto found = order_.find(key);
      if (found == order_.end()) {
        found = order_.emplace(key, groups_.size()).first;
        Group group;
        group.row = row_;
        group.accumulators = NewAccumulators(query_.aggregates, 0, query_.aggregates.size());
        group.cells.resize(pivotColumns_.count());
        groups_.push_back(std::move(group));
      }
      Group& group = groups_[found->second];
      for (std::size_t a = 0; a < cellBegin; ++a)
        Accumulate(group.accumulators[a], query_.aggregates[a], context);
      const std::optional<std::size_t> column =
          pivotColumns_.columnOf(Evaluate(*query_.statement.pivot, context));
      if (!column) continue;
      std::vector<AggregateAccumulator>& cell = group.cells[*column];
      if (cell.empty())
        cell = NewAccumulators(query_.aggregates, cellBegin, query_.aggregates.size());
      for (std::size_t a = cellBegin; a < query_.aggregates.size(); ++a)
        Accumulate(cell[a - cellBegin], query_.aggregates[a], context);
    }
  }

  std::unique_ptr<RowSource> input_;
  const BoundQuery& query_;
  std::vector<Value>& row_;
  const PivotColumns& pivotColumns_;
  const ResultColumn& cellColumn_;
  std::vector<Group> groups_;
  std::map<std::vector<Value>, std::size_t, RowLess> order_;
  std::map<std::vector<Value>, std::size_t, RowLess>::const_iterator cursor_;
  bool done_ = false;
};

}  // namespace

std::unique_ptr<ResultStage> MakeCrosstab(std::unique_ptr<RowSource> input, const BoundQuery& query,
                                          std::vector<Value>& row, const PivotColumns& pivotColumns,
                                          const ResultColumn& cellColumn) {
  return std::make_unique<Crosstab>(std::move(input), query, row, pivotColumns, cellColumn);
}

std::vector<Value> DistinctPivotValues(std::unique_ptr<RowSource> input, const BoundQuery& query,
                                       std::vector<Value>& row) {
  EvalContext context;
  context.row = &row;
  std::set<std::vector<Value>, RowLess> seen;
  input->open();
  while (input->next())
    seen.insert(std::vector<Value>{Evaluate(*query.statement.pivot, context)});
  std::vector<Value> values;
  for (const std::vector<Value>& value : seen)
    values.push_back(value.front());
  return values;
}

}  // namespace tablift::jet
