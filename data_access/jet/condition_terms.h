#pragma once

#include <string>
#include <vector>

namespace tablift::jet {

// Access keeps the criteria of a crosstab's aggregated columns among its WHERE
// conditions; its SQL puts them in HAVING. These tell them apart on the
// stored text.

// The terms of a condition joined by And at its top level (the And of
// "Between a And b" belongs to the Between), each without the parentheses
// that enclose it whole.
std::vector<std::string> AndTerms(const std::string& condition);

// Whether an expression calls an aggregate function (Sum, Avg, Count, Min,
// Max, First, Last, StDev, StDevP, Var, VarP).
bool HoldsAggregate(const std::string& text);

}  // namespace tablift::jet
