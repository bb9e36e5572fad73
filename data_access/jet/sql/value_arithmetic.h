#pragma once

#include "data_access/jet/jet_value.h"

namespace tablift::jet {

// The arithmetic operators of Access expressions. Null on either side gives
// Null. The result kind follows the wider operand, in the order Long, Double,
// Currency, Decimal, except that Decimal with Double gives Double (exact
// digits cannot be kept anyway). True counts as -1; text that reads as a
// number counts as a Double, other text is a type mismatch, and text + text
// joins the texts. Date + number and date - number are dates; date - date is
// a Double number of days. / and ^ give Double; \ and Mod round both sides to
// whole numbers first (half to even) and give Long. Division by zero and
// results that do not fit are errors, as in Access.
Value AddValues(const Value& a, const Value& b);
Value SubtractValues(const Value& a, const Value& b);
Value MultiplyValues(const Value& a, const Value& b);
Value DivideValues(const Value& a, const Value& b);
Value IntegerDivideValues(const Value& a, const Value& b);
Value ModuloValues(const Value& a, const Value& b);
Value PowerValues(const Value& a, const Value& b);
Value NegateValue(const Value& a);

// &: Null counts as "" unless both sides are Null.
Value ConcatenateValues(const Value& a, const Value& b);

}  // namespace tablift::jet
