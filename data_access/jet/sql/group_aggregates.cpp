#include "data_access/jet/sql/group_aggregates.h"

namespace tablift::jet {

std::vector<AggregateAccumulator> NewAccumulators(const std::vector<BoundAggregate>& aggregates,
                                                  std::size_t begin, std::size_t end) {
  std::vector<AggregateAccumulator> made;
  made.reserve(end - begin);
  for (std::size_t a = begin; a < end; ++a)
    made.emplace_back(aggregates[a].kind, aggregates[a].type);
  return made;
}

void Accumulate(AggregateAccumulator& accumulator, const BoundAggregate& aggregate,
                const EvalContext& context) {
  if (aggregate.argument) {
    accumulator.add(Evaluate(*aggregate.argument, context));
  } else {
    accumulator.addRow();
  }
}

std::vector<Value> AccumulatorResults(const std::vector<AggregateAccumulator>& accumulators) {
  std::vector<Value> values;
  values.reserve(accumulators.size());
  for (const AggregateAccumulator& accumulator : accumulators)
    values.push_back(accumulator.result());
  return values;
}

}  // namespace tablift::jet
