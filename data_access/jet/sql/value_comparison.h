#pragma once

#include <optional>
#include <vector>

#include "data_access/jet/jet_value.h"

namespace tablift::jet {

// Comparison as conditions see it: empty (Null) when either side is Null,
// otherwise <0, 0 or >0.
// - Numbers of any kind compare by value; Currency and Decimal exactly.
// - Text compares without regard to case (see CompareText).
// - Dates compare as dates, and with numbers by their serial.
// - Text against a number: text that reads as a number compares as that
//   number; other text compares with the number's text form. Text against a
//   date likewise: date text compares as a date. This is what lets a
//   condition say ID = '5' or OrderDate > '2024-01-31' as Access allows.
// - GUIDs compare as their text (braces and case aside); bytes byte by byte.
std::optional<int> CompareValues(const Value& a, const Value& b);

// A total order for ORDER BY, GROUP BY, DISTINCT, Min and Max: Null first,
// then numbers and dates by value, then text, GUIDs and bytes. Equal values
// group together ("abc" with "ABC", 1 with 1.0).
int CompareForOrdering(const Value& a, const Value& b);

struct RowLess {
  bool operator()(const std::vector<Value>& a, const std::vector<Value>& b) const;
};

}  // namespace tablift::jet
