#include "data_access/jet/sql/builtin_functions.h"

#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {

const FunctionDef* FindFunction(std::string_view name) {
  if (!name.empty() && name.back() == '$') name.remove_suffix(1);
  for (const auto group : {TextFunctions(), DateFunctions(), NumberFunctions(), ControlFunctions(),
                           FormatFunctions()}) {
    for (const FunctionDef& function : group) {
      if (NamesEqual(function.name, name)) return &function;
    }
  }
  return nullptr;
}

void InvalidArgument() {
  throw EvaluationError("Invalid procedure call or argument");
}

std::int64_t IntegerArgument(ArgumentList& arguments, std::size_t index) {
  return ToInteger(arguments.evaluate(index));
}

bool BinaryCompareArgument(ArgumentList& arguments, std::size_t index) {
  if (index >= arguments.size()) return false;
  const std::int64_t compare = IntegerArgument(arguments, index);
  if (compare == 0) return true;
  if (compare == 1 || compare == 2 || compare == -1) return false;
  InvalidArgument();
}

ExprType TextResult(const std::vector<ExprType>& arguments) {
  if (!arguments.empty() && arguments[0].type == JetType::Memo) return TypeOf(JetType::Memo);
  return TextType();
}

}  // namespace tablift::jet
