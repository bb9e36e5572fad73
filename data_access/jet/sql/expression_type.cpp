#include "data_access/jet/sql/expression_type.h"

#include <algorithm>

namespace tablift::jet {
namespace {

enum class Category { Integer, Real, Money, Exact, Date, Text, Other };

Category CategoryOf(JetType type) {
  switch (type) {
    case JetType::Boolean:
    case JetType::Byte:
    case JetType::Integer:
    case JetType::Long:
    case JetType::BigInt:
    case JetType::Complex:
      return Category::Integer;
    case JetType::Single:
    case JetType::Double:
      return Category::Real;
    case JetType::Currency:
      return Category::Money;
    case JetType::Decimal:
      return Category::Exact;
    case JetType::DateTime:
      return Category::Date;
    case JetType::Text:
    case JetType::Memo:
    case JetType::DateTimeExtended:  // its values are text
      return Category::Text;
    default:
      return Category::Other;
  }
}

bool IsNumber(Category c) {
  return c == Category::Integer || c == Category::Real || c == Category::Money ||
         c == Category::Exact;
}

// As value_arithmetic.cpp: text and dates take part as Double.
Category ArithmeticCategory(Category c) {
  return (c == Category::Text || c == Category::Date || c == Category::Other) ? Category::Real : c;
}

Category CommonCategory(Category a, Category b) {
  if ((a == Category::Real && b == Category::Exact) ||
      (a == Category::Exact && b == Category::Real)) {
    return Category::Real;
  }
  return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

int ScaleOf(const ExprType& t) {
  if (t.type == JetType::Currency) return 4;
  if (t.type == JetType::Decimal) return t.scale;
  return 0;
}

ExprType NumberType(Category c, int scale) {
  switch (c) {
    case Category::Integer:
      return TypeOf(JetType::Long);
    case Category::Money:
      return TypeOf(JetType::Currency);
    case Category::Exact: {
      ExprType t = TypeOf(JetType::Decimal);
      t.precision = 28;
      t.scale = static_cast<std::uint8_t>(std::min(scale, 28));
      return t;
    }
    default:
      return TypeOf(JetType::Double);
  }
}

}  // namespace

ExprType TypeOf(JetType type) {
  ExprType t;
  t.type = type;
  return t;
}

ExprType TextType() {
  ExprType t = TypeOf(JetType::Text);
  t.size = kComputedTextSize;
  return t;
}

ExprType TypeOfLiteral(const Value& value) {
  struct Visitor {
    ExprType operator()(Null) const { return ExprType{}; }
    ExprType operator()(bool) const { return TypeOf(JetType::Boolean); }
    ExprType operator()(std::int64_t) const { return TypeOf(JetType::Long); }
    ExprType operator()(double) const { return TypeOf(JetType::Double); }
    ExprType operator()(Currency) const { return TypeOf(JetType::Currency); }
    ExprType operator()(DateTime) const { return TypeOf(JetType::DateTime); }
    ExprType operator()(const Decimal&) const {
      ExprType t = TypeOf(JetType::Decimal);
      t.precision = 28;
      return t;
    }
    ExprType operator()(const std::string&) const { return TextType(); }
    ExprType operator()(const Guid&) const { return TypeOf(JetType::ReplicationId); }
    ExprType operator()(const Bytes&) const { return TypeOf(JetType::OleObject); }
  };
  return std::visit(Visitor{}, value);
}

ExprType ArithmeticType(ArithmeticOperator op, const ExprType& a, const ExprType& b) {
  if (!a.type || !b.type) return ExprType{};
  const Category ca = CategoryOf(*a.type), cb = CategoryOf(*b.type);
  switch (op) {
    case ArithmeticOperator::Divide:
    case ArithmeticOperator::Power:
      return TypeOf(JetType::Double);
    case ArithmeticOperator::IntegerDivide:
    case ArithmeticOperator::Modulo:
      return TypeOf(JetType::Long);
    case ArithmeticOperator::Add:
      if (ca == Category::Text && cb == Category::Text) return ConcatenationType(a, b);
      if (ca == Category::Date || cb == Category::Date) return TypeOf(JetType::DateTime);
      break;
    case ArithmeticOperator::Subtract:
      if (ca == Category::Date && cb != Category::Date) return TypeOf(JetType::DateTime);
      if (ca == Category::Date || cb == Category::Date) return TypeOf(JetType::Double);
      break;
    case ArithmeticOperator::Multiply:
      break;
  }
  const Category common = CommonCategory(ArithmeticCategory(ca), ArithmeticCategory(cb));
  const int scale = op == ArithmeticOperator::Multiply ? ScaleOf(a) + ScaleOf(b)
                                                       : std::max(ScaleOf(a), ScaleOf(b));
  return NumberType(common, scale);
}

ExprType NegationType(const ExprType& a) {
  if (!a.type) return a;
  const Category c = CategoryOf(*a.type);
  if (c == Category::Date) return a;
  return NumberType(ArithmeticCategory(c), ScaleOf(a));
}

ExprType ConcatenationType(const ExprType& a, const ExprType& b) {
  if (a.type == JetType::Memo || b.type == JetType::Memo) return TypeOf(JetType::Memo);
  return TextType();
}

ExprType UnifyTypes(const ExprType& a, const ExprType& b) {
  if (!a.type) return b;
  if (!b.type) return a;
  if (*a.type == *b.type) {
    ExprType t = a;
    t.size = std::max(a.size, b.size);
    t.scale = std::max(a.scale, b.scale);
    t.precision = std::max(a.precision, b.precision);
    return t;
  }
  const Category ca = CategoryOf(*a.type), cb = CategoryOf(*b.type);
  if (IsNumber(ca) && IsNumber(cb)) {
    if (ca == cb) return NumberType(ca, std::max(ScaleOf(a), ScaleOf(b)));
    return NumberType(CommonCategory(ca, cb), std::max(ScaleOf(a), ScaleOf(b)));
  }
  if (a.type == JetType::Memo || b.type == JetType::Memo) return TypeOf(JetType::Memo);
  return TextType();
}

}  // namespace tablift::jet
