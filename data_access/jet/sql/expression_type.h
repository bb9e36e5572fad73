#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "data_access/jet/jet_value.h"

namespace tablift::jet {

// What an expression's values will be, known before any row is read: the
// type of its result column.
struct ExprType {
  std::optional<JetType> type;  // empty: always Null (fits any type)
  std::size_t size = 0;         // Text(n) characters, Binary(n) bytes
  std::uint8_t precision = 0;   // Decimal
  std::uint8_t scale = 0;       // Decimal
};

// Computed text is reported as Text(255), as Access reports expressions.
constexpr std::size_t kComputedTextSize = 255;

ExprType TypeOf(JetType type);
// The type of a table's or a query's column: its Jet type with the column's
// size, precision and scale.
template <typename Column>
ExprType TypeOfColumn(const Column& column) {
  ExprType type = TypeOf(column.type);
  type.size = column.size;
  type.precision = column.precision;
  type.scale = column.scale;
  return type;
}
ExprType TextType();
ExprType TypeOfLiteral(const Value& value);

enum class ArithmeticOperator { Add, Subtract, Multiply, Divide, IntegerDivide, Modulo, Power };
// The same rules as the operators in value_arithmetic.h, on types.
ExprType ArithmeticType(ArithmeticOperator op, const ExprType& a, const ExprType& b);
ExprType NegationType(const ExprType& a);
ExprType ConcatenationType(const ExprType& a, const ExprType& b);

// The type of a value that is one of two expressions (IIf, Nz, Switch):
// the same type stays; numbers widen; anything else mixed becomes text.
ExprType UnifyTypes(const ExprType& a, const ExprType& b);

}  // namespace tablift::jet
