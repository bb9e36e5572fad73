#pragma once

#include <string>
#include <string_view>

#include "core/status.h"
#include "translate/access_expression.h"

namespace tablift {

// An Access SELECT statement, as union queries and subqueries keep it, in
// MySQL: SELECT [DISTINCT | DISTINCTROW] [TOP n] items [AS alias] FROM
// tables, aliases, INNER/LEFT/RIGHT JOIN ... ON (nested in parentheses) and
// derived tables, WHERE, GROUP BY, HAVING, ORDER BY [ASC | DESC], chains of
// UNION [ALL], a trailing ; and line breaks. Names go through `names` and
// are backquoted; expressions are translated as TranslateAccessExpression
// translates them. TOP n keeps the rows that tie with the n-th, as Access
// does, through a condition on the sort keys (LIMIT n where there is no
// ORDER BY to tie on, or with DISTINCT); the ORDER BY after the last SELECT
// of a union sorts the whole union, as in Access. What MySQL cannot
// read as Access does (TOP n PERCENT, DISTINCTROW over a join, parameters,
// other databases' tables) is a failure with the reason.
Result<std::string> TranslateAccessSelect(std::string_view accessSql, const NameMapping& names);

}  // namespace tablift
