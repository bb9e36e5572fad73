#pragma once

#include <cstddef>
#include <vector>

#include "data_access/jet/sql/aggregate_accumulator.h"
#include "data_access/jet/sql/expression_evaluator.h"
#include "data_access/jet/sql/query_binder.h"

namespace tablift::jet {

// What GROUP BY and TRANSFORM share for the aggregates of one group: a fresh
// accumulator for each of aggregates [begin, end), one row fed to an
// aggregate, and the results that HAVING and the select list read.
std::vector<AggregateAccumulator> NewAccumulators(const std::vector<BoundAggregate>& aggregates,
                                                  std::size_t begin, std::size_t end);

// The row's value of the aggregate's argument, or one row of Count(*).
void Accumulate(AggregateAccumulator& accumulator, const BoundAggregate& aggregate,
                const EvalContext& context);

std::vector<Value> AccumulatorResults(const std::vector<AggregateAccumulator>& accumulators);

}  // namespace tablift::jet
