#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/sql/expression_type.h"

namespace tablift::jet {

// A function's arguments, evaluated only when the body asks for them, so that
// IIf, Switch and Choose evaluate just the branch they return (a division by
// zero in the branch not taken is no error, as in Access).
class ArgumentList {
 public:
  virtual ~ArgumentList() = default;
  virtual std::size_t size() const = 0;
  virtual Value evaluate(std::size_t index) = 0;
};

struct FunctionDef {
  std::string_view name;
  std::uint8_t minArguments;
  std::uint8_t maxArguments;
  // Throws QueryError (Evaluation) for arguments the function cannot take.
  Value (*body)(ArgumentList& arguments);
  ExprType (*resultType)(const std::vector<ExprType>& arguments);
};

// The function of that name, without regard to case, with or without a
// trailing "$" (Left$); null when there is none.
const FunctionDef* FindFunction(std::string_view name);

// The groups the table is made of.
std::span<const FunctionDef> TextFunctions();
std::span<const FunctionDef> DateFunctions();
std::span<const FunctionDef> NumberFunctions();
std::span<const FunctionDef> ControlFunctions();
std::span<const FunctionDef> FormatFunctions();

// Shared by the function bodies.
[[noreturn]] void InvalidArgument();
std::int64_t IntegerArgument(ArgumentList& arguments, std::size_t index);
// The optional compare argument of InStr, Replace and StrComp: true for a
// binary (case-sensitive) comparison. Text comparison is the default, as
// queries in an Access database use it.
bool BinaryCompareArgument(ArgumentList& arguments, std::size_t index);

template <JetType T>
ExprType FixedType(const std::vector<ExprType>&) {
  return TypeOf(T);
}
ExprType TextResult(const std::vector<ExprType>& arguments);

}  // namespace tablift::jet
