#pragma once

#include <cstdint>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/sql/expression_type.h"
#include "data_access/jet/sql/sql_ast.h"

namespace tablift::jet {

// The running state of one aggregate over the rows of one group. Null values
// are left out (Count(x) counts the others), except by First and Last, which
// give the first and last row's value whatever it is, as in Access.
class AggregateAccumulator {
 public:
  AggregateAccumulator(AggregateKind kind, ExprType type) : kind_(kind), type_(type) {}

  // One row of Count(*).
  void addRow() { ++count_; }
  void add(const Value& value);
  // Null over no values (Count gives 0), in the aggregate's type.
  Value result() const;

 private:
  AggregateKind kind_;
  ExprType type_;
  std::int64_t count_ = 0;
  Value total_;  // Sum, Avg; Min, Max; First, Last
  bool seen_ = false;
  double mean_ = 0;  // StDev, Var: Welford's running mean and squares
  double squares_ = 0;
};

}  // namespace tablift::jet
