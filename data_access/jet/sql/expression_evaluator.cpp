#include "data_access/jet/sql/expression_evaluator.h"

#include "data_access/jet/sql/builtin_functions.h"
#include "data_access/jet/sql/like_matcher.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/subquery_runner.h"
#include "data_access/jet/sql/value_arithmetic.h"
#include "data_access/jet/sql/value_comparison.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

using Truth = std::optional<bool>;

Value FromTruth(Truth truth) {
  if (!truth) return Null{};
  return *truth;
}

Truth Negated(Truth truth) {
  if (!truth) return std::nullopt;
  return !*truth;
}

Truth Compare(Operator op, const Value& a, const Value& b) {
  const std::optional<int> c = CompareValues(a, b);
  if (!c) return std::nullopt;
  switch (op) {
    case Operator::Equal:
      return *c == 0;
    case Operator::NotEqual:
      return *c != 0;
    case Operator::Less:
      return *c < 0;
    case Operator::Greater:
      return *c > 0;
    case Operator::LessOrEqual:
      return *c <= 0;
    case Operator::GreaterOrEqual:
      return *c >= 0;
    default:
      return std::nullopt;
  }
}

Truth Logical(const Expr& expr, const EvalContext& context) {
  const Expr& left = *expr.operands[0];
  const Expr& right = *expr.operands[1];
  const Truth l = EvaluateCondition(left, context);
  switch (expr.op) {
    case Operator::And: {
      if (l == false) return false;
      const Truth r = EvaluateCondition(right, context);
      if (r == false) return false;
      if (!l || !r) return std::nullopt;
      return true;
    }
    case Operator::Or: {
      if (l == true) return true;
      const Truth r = EvaluateCondition(right, context);
      if (r == true) return true;
      if (!l || !r) return std::nullopt;
      return false;
    }
    case Operator::Xor: {
      const Truth r = EvaluateCondition(right, context);
      if (!l || !r) return std::nullopt;
      return *l != *r;
    }
    case Operator::Eqv: {
      const Truth r = EvaluateCondition(right, context);
      if (!l || !r) return std::nullopt;
      return *l == *r;
    }
    case Operator::Imp: {
      if (l == false) return true;
      const Truth r = EvaluateCondition(right, context);
      if (r == true) return true;
      if (!l || !r) return std::nullopt;
      return false;
    }
    default:
      return std::nullopt;
  }
}

Value Binary(const Expr& expr, const EvalContext& context) {
  switch (expr.op) {
    case Operator::And:
    case Operator::Or:
    case Operator::Xor:
    case Operator::Eqv:
    case Operator::Imp:
      return FromTruth(Logical(expr, context));
    default:
      break;
  }
  const Value a = Evaluate(*expr.operands[0], context);
  const Value b = Evaluate(*expr.operands[1], context);
  switch (expr.op) {
    case Operator::Add:
      return AddValues(a, b);
    case Operator::Subtract:
      return SubtractValues(a, b);
    case Operator::Multiply:
      return MultiplyValues(a, b);
    case Operator::Divide:
      return DivideValues(a, b);
    case Operator::IntegerDivide:
      return IntegerDivideValues(a, b);
    case Operator::Modulo:
      return ModuloValues(a, b);
    case Operator::Power:
      return PowerValues(a, b);
    case Operator::Concatenate:
      return ConcatenateValues(a, b);
    default:
      return FromTruth(Compare(expr.op, a, b));
  }
}

Value Unary(const Expr& expr, const EvalContext& context) {
  if (expr.op == Operator::Not)
    return FromTruth(Negated(EvaluateCondition(*expr.operands[0], context)));
  Value v = Evaluate(*expr.operands[0], context);
  if (expr.op == Operator::Negate) return NegateValue(v);
  // Unary plus checks that the operand is a number.
  if (!IsNull(v) && !std::holds_alternative<DateTime>(v)) v = ToArithmetic(v);
  return v;
}

Truth Between(const Expr& expr, const EvalContext& context) {
  const Value v = Evaluate(*expr.operands[0], context);
  const Value low = Evaluate(*expr.operands[1], context);
  const Value high = Evaluate(*expr.operands[2], context);
  const Truth above = Compare(Operator::GreaterOrEqual, v, low);
  const Truth below = Compare(Operator::LessOrEqual, v, high);
  if (above == false || below == false) return false;
  if (!above || !below) return std::nullopt;
  return true;
}

Truth In(const Expr& expr, const EvalContext& context) {
  const Value v = Evaluate(*expr.operands[0], context);
  bool unknown = IsNull(v);
  for (std::size_t i = 1; i < expr.operands.size() && !IsNull(v); ++i) {
    const Truth equal = Compare(Operator::Equal, v, Evaluate(*expr.operands[i], context));
    if (equal == true) return true;
    if (!equal) unknown = true;
  }
  if (unknown) return std::nullopt;
  return false;
}

Truth Like(const Expr& expr, const EvalContext& context) {
  const Value v = Evaluate(*expr.operands[0], context);
  if (expr.pattern) {
    if (IsNull(v)) return std::nullopt;
    return expr.pattern->matches(TextOf(v));
  }
  const Value pattern = Evaluate(*expr.operands[1], context);
  if (IsNull(v) || IsNull(pattern)) return std::nullopt;
  std::string error;
  const std::optional<LikePattern> compiled = LikePattern::Compile(TextOf(pattern), error);
  if (!compiled) throw EvaluationError(error);
  return compiled->matches(TextOf(v));
}

// The enclosing query's values a correlated subquery reads: the operands
// from `first` on.
std::vector<Value> OuterValues(const Expr& expr, std::size_t first, const EvalContext& context) {
  std::vector<Value> values;
  values.reserve(expr.operands.size() - first);
  for (std::size_t i = first; i < expr.operands.size(); ++i)
    values.push_back(Evaluate(*expr.operands[i], context));
  return values;
}

class BoundArguments : public ArgumentList {
 public:
  BoundArguments(const Expr& call, const EvalContext& context) : call_(call), context_(context) {}
  std::size_t size() const override { return call_.operands.size(); }
  Value evaluate(std::size_t index) override { return Evaluate(*call_.operands[index], context_); }

 private:
  const Expr& call_;
  const EvalContext& context_;
};

Value EvaluateNode(const Expr& expr, const EvalContext& context) {
  switch (expr.kind) {
    case ExprKind::Literal:
      return expr.literal;
    case ExprKind::Column:
      if (expr.aliasOf) return Evaluate(*expr.aliasOf, context);
      return (*context.row)[expr.slot];
    case ExprKind::Aggregate:
      return (*context.aggregates)[expr.slot];
    case ExprKind::Unary:
      return Unary(expr, context);
    case ExprKind::Binary:
      return Binary(expr, context);
    case ExprKind::Function: {
      BoundArguments arguments(expr, context);
      return expr.function->body(arguments);
    }
    case ExprKind::Between: {
      const Truth t = Between(expr, context);
      return FromTruth(expr.negated ? Negated(t) : t);
    }
    case ExprKind::In: {
      const Truth t = In(expr, context);
      return FromTruth(expr.negated ? Negated(t) : t);
    }
    case ExprKind::IsNull: {
      const bool isNull = IsNull(Evaluate(*expr.operands[0], context));
      return expr.negated ? !isNull : isNull;
    }
    case ExprKind::Like: {
      const Truth t = Like(expr, context);
      return FromTruth(expr.negated ? Negated(t) : t);
    }
    case ExprKind::Subquery:
      return expr.runner->scalar(OuterValues(expr, 0, context));
    case ExprKind::Exists:
      return expr.runner->exists(OuterValues(expr, 0, context));
    case ExprKind::Domain: {
      const Value expression = Evaluate(*expr.operands[0], context);
      const Value domain = Evaluate(*expr.operands[1], context);
      if (IsNull(expression) || IsNull(domain)) throw EvaluationError("Invalid use of Null");
      std::string criteria;
      if (expr.operands.size() > 2) criteria = TextOf(Evaluate(*expr.operands[2], context));
      return expr.domain->aggregate(expr.aggregate, TextOf(expression), TextOf(domain), criteria);
    }
    case ExprKind::InSubquery: {
      const Value v = Evaluate(*expr.operands[0], context);
      const Truth t = expr.runner->compare(expr.op, expr.all, v, OuterValues(expr, 1, context));
      return FromTruth(expr.negated ? Negated(t) : t);
    }
  }
  return Null{};
}

}  // namespace

Value Evaluate(const Expr& expr, const EvalContext& context) {
  try {
    return EvaluateNode(expr, context);
  } catch (QueryError& error) {
    error.locate(expr.clause, expr.position);
    throw;
  }
}

std::optional<bool> EvaluateCondition(const Expr& expr, const EvalContext& context) {
  const Value v = Evaluate(expr, context);
  try {
    return TruthOf(v);
  } catch (QueryError& error) {
    error.locate(expr.clause, expr.position);
    throw;
  }
}

}  // namespace tablift::jet
