#pragma once

#include <string_view>

#include "data_access/jet/sql/sql_ast.h"

namespace tablift::jet {

// Parses one Access SQL SELECT statement (a trailing ";" allowed):
//
//   SELECT [ALL | DISTINCT | DISTINCTROW] [TOP n] item, ...
//   FROM entry, ...   entry: table [[AS] alias] | (entry) | entry {INNER|LEFT|RIGHT} JOIN entry ON
//   e [WHERE e] [GROUP BY e, ...] [HAVING e] [ORDER BY e [ASC|DESC], ...]
//
// with Access's operator precedence, from the tightest: ^, unary -, * /, \,
// Mod, + -, &, comparisons (= <> < > <= >= Like Between In Is), Not, And, Or,
// Xor, Eqv, Imp. Throws QueryError (Command) with the clause and the position
// of the first token it cannot use.
SelectStatement ParseSelect(std::string_view sql);

}  // namespace tablift::jet
