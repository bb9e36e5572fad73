#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/sql/query_executor.h"
#include "data_access/jet/sql/sql_ast.h"
#include "data_access/jet/sql/subquery_runner.h"

namespace tablift::jet {

// The names a subquery reads from the query around it. The enclosing query
// evaluates them for each of its rows and hands the values to the subquery,
// which reads them from slots after its own tables' columns.
class OuterResolver {
 public:
  virtual ~OuterResolver() = default;
  // The index among the enclosing query's values that the reference stands
  // for, and its type. Throws QueryError when the enclosing query knows no
  // such name.
  virtual std::size_t resolve(const Expr& reference, ExprType& type) = 0;
};

// What binding one statement shares with the statements nested in it (saved
// queries read as inputs, derived tables, subqueries): the catalog, the
// parameter values, and what it learned of the parameters.
struct BindEnvironment {
  explicit BindEnvironment(TableCatalog& tables) : catalog(tables) {}

  TableCatalog& catalog;
  const QueryParameters* values = nullptr;
  // Listing the parameters a statement needs: a parameter without a value is
  // noted, not a failure.
  bool listing = false;

  // The saved queries being bound, the outermost first: one that names
  // itself, directly or through others, is a circular reference.
  std::vector<std::string> savedQueries;
  // Where in the outermost statement the saved query being bound is named:
  // its parameters count as met there.
  std::size_t anchor = 0;

  std::vector<ParameterDeclaration> declared;
  struct Use {
    std::size_t position = 0;
    std::string name;
  };
  std::vector<Use> undeclared;       // names used as parameters without a declaration
  std::vector<std::string> missing;  // parameters without a value, each once

  // Made for the first domain aggregate function and shared by all.
  std::shared_ptr<DomainRunner> domains;
};

// A name that no table column or alias answers, taken as a parameter when it
// is one: declared in PARAMETERS, written in brackets, or a form or report
// control. The expression becomes the parameter's value (Null when none was
// given; the name is then noted as missing). False when the name is none.
bool BindParameter(Expr& expr, BindEnvironment& environment);

// Declares a statement's PARAMETERS once.
void DeclareParameters(const std::vector<ParameterDeclaration>& declarations,
                       BindEnvironment& environment);

// After binding the whole statement: "Too few parameters. Expected N." when
// N parameters (declared or used) have no value.
void CheckParameterValues(BindEnvironment& environment);

// The parameters the statement needs: declared ones first, then the others in
// the order they appear.
std::vector<QueryParameterInfo> ParametersNeeded(const BindEnvironment& environment);

}  // namespace tablift::jet
