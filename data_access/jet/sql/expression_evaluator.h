#pragma once

#include <optional>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/sql/sql_ast.h"

namespace tablift::jet {

// What a bound expression reads: the joined row of all tables in FROM, and
// after grouping the values of the aggregates.
struct EvalContext {
  const std::vector<Value>* row = nullptr;
  const std::vector<Value>* aggregates = nullptr;
};

// The value of a bound expression. Comparisons and logical operators give
// True, False or Null by the three-valued rules: a comparison with Null is
// Null; False And Null is False, True Or Null is True, Not Null is Null.
// Throws QueryError (Evaluation), located at the innermost failing node.
Value Evaluate(const Expr& expr, const EvalContext& context);

// Whether `a op b` holds for a comparison operator; empty when either side
// is Null, or the operator compares nothing.
std::optional<bool> ComparisonHolds(Operator op, const Value& a, const Value& b);

// The expression as a condition: empty for Null. WHERE, ON and HAVING keep a
// row only when this is true.
std::optional<bool> EvaluateCondition(const Expr& expr, const EvalContext& context);

}  // namespace tablift::jet
