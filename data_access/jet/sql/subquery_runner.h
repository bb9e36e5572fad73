#pragma once

#include <optional>
#include <vector>

#include "data_access/jet/jet_value.h"

namespace tablift::jet {

// Runs a subquery for the expression that holds it. `outer` are the values of
// the enclosing query's columns the subquery reads (none when it reads none;
// its answers are then computed once and kept).
class SubqueryRunner {
 public:
  virtual ~SubqueryRunner() = default;
  // (SELECT ...): the single row's value; Null without rows; an error with
  // Access's wording for more than one row.
  virtual Value scalar(const std::vector<Value>& outer) = 0;
  // EXISTS (SELECT ...)
  virtual bool exists(const std::vector<Value>& outer) = 0;
  // x IN (SELECT ...): true when a row equals x; unknown when x is Null or
  // no row equals it but some row is Null.
  virtual std::optional<bool> contains(const Value& value, const std::vector<Value>& outer) = 0;
};

}  // namespace tablift::jet
