#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "data_access/jet/query_elements.h"
#include "translate/access_expression.h"
#include "translate/mysql_names.h"

namespace tablift {

class Session;
class JobContext;

// The columns of an Access table in their order; empty when unknown.
using ColumnLister = std::function<std::vector<std::string>(const std::string& table)>;

// A view definition, or why the query cannot become a MySQL view.
struct ComposedView {
  bool ok = true;
  std::string text;
  std::string problem;
};

// A select query's statement in MySQL syntax, part by part, so that a view,
// a procedure or an action can be built around it.
struct SelectParts {
  int options = 0;         // QueryOption bits
  std::string top;         // the TOP value
  std::string selectList;  // the output columns, without SELECT and DISTINCT
  // The names of the output columns when the rows have to be ranked (TOP
  // with an order or a percentage); empty otherwise.
  std::vector<std::string> outputNames;
  std::vector<std::string> outputTexts;  // their expressions, in the same order
  // The order the rows are ranked in: the ORDER BY terms, or for DISTINCT
  // rows the output columns they name.
  std::vector<std::string> rankOrder;
  std::string from;  // the FROM list, without the keyword
  std::vector<std::string> where;
  std::vector<std::string> groupBy;
  std::vector<std::string> having;
  std::vector<std::string> orderBy;  // each with " DESC" when descending
};

// The parts of the select the elements describe: options, input tables with
// their aliases, output columns with their aliases, joins, conditions,
// grouping and ordering, whatever their order. The query's kind and
// parameters are not looked at. Fails with the reason when an expression
// cannot be translated or the query reads what the elements do not describe.
Result<SelectParts> ComposeSelectParts(const std::vector<QueryElement>& elements,
                                       const NameMapping& names, const ColumnLister& columnsOf);

// Conditions joined by AND, each in parentheses when there are several.
std::string ConditionList(const std::vector<std::string>& conditions);

// The select line, the from line and the where line (each ended by "\n",
// empty when the query has no such part), then, only when the query has
// them, the GROUP BY, HAVING, ORDER BY and LIMIT lines. TOP n with an order
// keeps the rows tied with the n-th, and TOP n PERCENT the first n percent
// rounded up, as Access does: those rows are chosen by rank from a derived
// table.
std::string SelectText(const SelectParts& parts);

// "CREATE VIEW `name` AS \n" followed by the select line, the from line and
// the where line (each ended by "\n", empty when the query has no such
// part), then, only when the query has them, the GROUP BY, HAVING, ORDER BY
// and LIMIT lines. The query's elements are used whatever their order:
// options (DISTINCT, all fields, TOP n), input tables with their aliases,
// output columns with their aliases, joins, conditions, grouping and
// ordering. Expressions are rewritten in MySQL syntax; names go through
// `names`. Parameters, queries that are not select queries and untranslatable expressions make the
// result !ok. `columnsOf` lets
// "*" and "T.*" be spelt out when a second output column of the same name
// has to be given its own name.
ComposedView ComposeViewDefinition(const std::string& viewName,
                                   const std::vector<QueryElement>& elements,
                                   const NameMapping& names, const ColumnLister& columnsOf = {});

// The CREATE VIEW text of the saved query `viewName`, read from MSysObjects
// and MSysQueries, with the view and every name it refers to spelt by the
// name rule `rule`; "" when there is no such query. Failures, with their
// message: "No Connection!" without a session, " view :[Microsoft]
// [<targetProvider>] NO PERMISSION!\n" when the system tables cannot be read,
// and "NO SUPPORT!" (after an "E::" line saying why) for a query that MySQL
// cannot take as a view.
Result<std::string> TranslateViewDdl(JobContext& job, Session* sourceSession, NameRule rule,
                                     const std::string& targetProvider, std::string databaseName,
                                     std::string viewName);

}  // namespace tablift
