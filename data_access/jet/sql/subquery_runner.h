#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/sql/sql_ast.h"

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
  // x IN (SELECT ...) is x = ANY (SELECT ...). With ANY: true when the
  // comparison holds for some row, unknown when it holds for none but is
  // unknown for some (a Null), false otherwise (no rows: false). With ALL:
  // false when it fails for some row, unknown when it is unknown for some,
  // true otherwise (no rows: true).
  virtual std::optional<bool> compare(Operator op, bool all, const Value& value,
                                      const std::vector<Value>& outer) = 0;
};

// Runs the domain aggregate functions (DLookup, DCount, DSum ...), which
// name their expression, table or saved query and condition as text, for
// each call.
class DomainRunner {
 public:
  virtual ~DomainRunner() = default;
  // The aggregate of `expression` over the rows of `domain` that meet
  // `criteria` (all rows when empty). Throws QueryError (Evaluation) for text
  // that does not make a statement, with the reason.
  virtual Value aggregate(AggregateKind kind, const std::string& expression,
                          const std::string& domain, const std::string& criteria) = 0;
};

}  // namespace tablift::jet
