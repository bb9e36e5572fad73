#pragma once

#include <string>
#include <vector>

#include "data_access/jet/query_elements.h"
#include "translate/access_expression.h"
#include "translate/view_definition.h"

namespace tablift {

// One IN parameter of a procedure made from a saved query.
struct ProcedureParameter {
  std::string accessName;  // as the query names it: "Beginning Date", "Forms!F!Control"
  std::string name;        // the procedure's parameter, before the name rule
  std::string type;        // its MySQL type
};

// A saved query whose parameters are all written as [name] references to
// the procedure's parameters.
struct ParameterisedQuery {
  std::vector<QueryElement> elements;
  std::vector<ProcedureParameter> parameters;
};

// The MySQL type of a parameter of the Jet data type `jetType` (the Flag of
// a kParameter element); VARCHAR(255) for a type Access leaves open.
std::string ParameterType(int jetType);

// The parameters of a saved query, in the order the query declares them and
// then in the order of first use: its kParameter elements; references to a
// form's or report's control ([Forms]![Orders]![OrderID]), each a parameter
// named after the control; and, when the columns of every input table are
// known, bracketed names that are no column, input or alias. The elements
// come back with every such reference written as [parameter name].
//
// MariaDB takes an unqualified name for a procedure's parameter before a
// column of that name, so a parameter whose name the query also uses for a
// column (a column of an input table, or a name used unqualified outside the
// parameter's own references) is renamed "<name>_param".
ParameterisedQuery ResolveParameters(const std::vector<QueryElement>& elements,
                                     const ColumnLister& columnsOf);

// "(IN `a` DATETIME, IN `b` INT)", names through `names`; "()" without
// parameters.
std::string ParameterList(const std::vector<ProcedureParameter>& parameters,
                          const NameMapping& names);

}  // namespace tablift
