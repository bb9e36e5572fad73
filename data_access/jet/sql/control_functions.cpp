// Functions that choose between values or test them: IIf, Nz, Switch, Choose,
// IsNull, IsEmpty, IsNumeric.

#include "data_access/jet/sql/builtin_functions.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

// IIf(condition, if true, if false): a Null condition takes the false branch.
// Only the branch taken is evaluated.
Value IIf(ArgumentList& a) {
  const std::optional<bool> condition = TruthOf(a.evaluate(0));
  return a.evaluate(condition.value_or(false) ? 1 : 2);
}

// Nz(value[, if null]): in a query, Access gives "" for Null when the second
// argument is missing.
Value Nz(ArgumentList& a) {
  Value v = a.evaluate(0);
  if (!IsNull(v)) return v;
  if (a.size() > 1) return a.evaluate(1);
  return std::string();
}

// Switch(condition 1, value 1, ...): the value of the first true condition;
// Null when none is true.
Value Switch(ArgumentList& a) {
  if (a.size() % 2 != 0) InvalidArgument();
  for (std::size_t i = 0; i < a.size(); i += 2) {
    if (TruthOf(a.evaluate(i)).value_or(false)) return a.evaluate(i + 1);
  }
  return Null{};
}

// Choose(index, value 1, ...): Null when the index is out of range.
Value Choose(ArgumentList& a) {
  const Value index = a.evaluate(0);
  if (IsNull(index)) throw EvaluationError("Invalid use of Null");
  const std::int64_t i = ToInteger(index);
  if (i < 1 || static_cast<std::size_t>(i) >= a.size()) return Null{};
  return a.evaluate(static_cast<std::size_t>(i));
}

Value IsNullOf(ArgumentList& a) {
  return IsNull(a.evaluate(0));
}

Value IsNumeric(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNumericKind(v)) return true;
  if (const auto* text = std::get_if<std::string>(&v)) return NumberFromText(*text).has_value();
  return false;
}

ExprType BranchTypes(const std::vector<ExprType>& arguments) {
  return UnifyTypes(arguments[1], arguments[2]);
}

ExprType NzType(const std::vector<ExprType>& arguments) {
  if (arguments.size() > 1) return UnifyTypes(arguments[0], arguments[1]);
  return UnifyTypes(arguments[0], TextType());
}

ExprType SwitchType(const std::vector<ExprType>& arguments) {
  ExprType t;
  for (std::size_t i = 1; i < arguments.size(); i += 2)
    t = UnifyTypes(t, arguments[i]);
  return t;
}

ExprType ChooseType(const std::vector<ExprType>& arguments) {
  ExprType t;
  for (std::size_t i = 1; i < arguments.size(); ++i)
    t = UnifyTypes(t, arguments[i]);
  return t;
}

constexpr FunctionDef kControlFunctions[] = {
    {"IIf", 3, 3, IIf, BranchTypes},
    {"Nz", 1, 2, Nz, NzType},
    {"Switch", 2, 254, Switch, SwitchType},
    {"Choose", 2, 254, Choose, ChooseType},
    {"IsNull", 1, 1, IsNullOf, FixedType<JetType::Boolean>},
    {"IsEmpty", 1, 1, IsNullOf, FixedType<JetType::Boolean>},
    {"IsNumeric", 1, 1, IsNumeric, FixedType<JetType::Boolean>},
};

}  // namespace

std::span<const FunctionDef> ControlFunctions() {
  return kControlFunctions;
}

}  // namespace tablift::jet
