#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tablift::jet {

// Scanning the expression text Access keeps in MSysQueries.

// Where `text` is at parenthesis depth 0 outside texts, dates and brackets:
// calls `visit(i)` for each such position until it returns true.
template <typename Visit>
std::size_t TopLevel(const std::string& text, Visit visit) {
  int depth = 0;
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'' || c == '#') {
      quote = c;
    } else if (c == '[') {
      quote = ']';
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (depth == 0 && visit(i)) {
      return i;
    }
  }
  return std::string::npos;
}

// Whether the word `word` (any case) stands at `i` on its own.
bool WordAt(const std::string& text, std::size_t i, const char* word);

// Without leading and trailing blanks.
std::string Trimmed(const std::string& text);

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
