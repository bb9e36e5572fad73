#pragma once

#include <string_view>

#include "data_access/jet/sql/sql_ast.h"

namespace tablift::jet {

// Parses one Access SQL SELECT statement (a trailing ";" allowed; of a
// union, the first select):
//
//   SELECT [ALL | DISTINCT | DISTINCTROW] [TOP n [PERCENT]] item, ...
//   FROM entry, ...   entry: table [[AS] alias] | (entry) | entry {INNER|LEFT|RIGHT} JOIN entry ON
//   e [WHERE e] [GROUP BY e, ...] [HAVING e] [ORDER BY e [ASC|DESC], ...]
//
// with Access's operator precedence, from the tightest: ^, unary -, * /, \,
// Mod, + -, &, comparisons (= <> < > <= >= Like Between In Is), Not, And, Or,
// Xor, Eqv, Imp. Throws QueryError (Command) with the clause and the position
// of the first token it cannot use.
SelectStatement ParseSelect(std::string_view sql);

// A whole statement: [PARAMETERS ...;] then a select, selects joined by
// UNION [ALL] (the last one's ORDER BY sorting the union), or
// TRANSFORM aggregate select PIVOT expression [IN (values)], and perhaps
// WITH OWNERACCESS OPTION. Subqueries stand in expressions ((SELECT ...),
// EXISTS (SELECT ...), x IN (SELECT ...), x op ANY|SOME|ALL (SELECT ...))
// and as derived tables in FROM ((SELECT ...) AS X, or [SELECT ...]. AS X).
QueryStatement ParseQuery(std::string_view sql);

}  // namespace tablift::jet
