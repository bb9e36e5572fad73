#include "data_access/jet/sql/aggregate_accumulator.h"

#include <cmath>

#include "data_access/jet/sql/value_arithmetic.h"
#include "data_access/jet/sql/value_comparison.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {

void AggregateAccumulator::add(const Value& value) {
  switch (kind_) {
    case AggregateKind::First:
      if (!seen_) total_ = value;
      seen_ = true;
      return;
    case AggregateKind::Last:
      total_ = value;
      seen_ = true;
      return;
    default:
      break;
  }
  if (IsNull(value)) return;
  ++count_;
  switch (kind_) {
    case AggregateKind::Count:
      return;
    case AggregateKind::Sum:
    case AggregateKind::Avg: {
      // Text and dates are summed as numbers, not joined or shifted.
      const Value number = ToArithmetic(value);
      total_ = count_ == 1 ? number : AddValues(total_, number);
      return;
    }
    case AggregateKind::Min:
    case AggregateKind::Max: {
      const int c = count_ == 1 ? 0 : CompareForOrdering(value, total_);
      if (count_ == 1 || (kind_ == AggregateKind::Min ? c < 0 : c > 0)) total_ = value;
      return;
    }
    default: {
      const double x = ToDouble(value);
      const double delta = x - mean_;
      mean_ += delta / static_cast<double>(count_);
      squares_ += delta * (x - mean_);
      return;
    }
  }
}

Value AggregateAccumulator::result() const {
  Value result;
  switch (kind_) {
    case AggregateKind::Count:
      return count_;
    case AggregateKind::Avg:
      if (count_ == 0) return Null{};
      result = DivideValues(total_, count_);
      break;
    case AggregateKind::StDev:
    case AggregateKind::Var:
    case AggregateKind::StDevP:
    case AggregateKind::VarP: {
      const bool sample = kind_ == AggregateKind::StDev || kind_ == AggregateKind::Var;
      const std::int64_t n = sample ? count_ - 1 : count_;
      if (n < 1) return Null{};
      const double variance = squares_ / static_cast<double>(n);
      if (kind_ == AggregateKind::StDev || kind_ == AggregateKind::StDevP) {
        return std::sqrt(variance);
      }
      return variance;
    }
    default:
      result = total_;
      break;
  }
  if (!type_.type) return result;
  return ConvertToType(result, *type_.type, type_.scale);
}

}  // namespace tablift::jet
