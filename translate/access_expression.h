#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tablift {

// The outcome of translating an Access expression: the MySQL text, or why
// it cannot be translated.
struct TranslatedExpression {
  bool ok = true;
  std::string text;
  std::string problem;  // set when !ok
};

// How a name in brackets is spelled on the MySQL side (see NameRule).
using NameMapping = std::function<std::string(const std::string&)>;

// Rewrites an expression stored by Access (a select list item, a condition,
// a join condition, a grouping or ordering term) in MySQL syntax:
// - [Name] becomes `Name` (through `names`);
// - "text" and 'text' become MySQL string literals;
// - #m/d/yyyy# and #yyyy-mm-dd# dates, with or without a time, become
//   'yyyy-mm-dd hh:mm:ss' literals;
// - the & concatenation becomes CONCAT_WS('', ...), which like Access takes
//   Null as empty text;
// - Like patterns given as literals use % and _ instead of * and ?;
// - IIf, Nz, Len, UCase, LCase, Date() become IF, IFNULL, CHAR_LENGTH,
//   UPPER, LOWER, CURDATE(); CCur, CDbl, CStr become CAST(... AS
//   DECIMAL(19,4) / DOUBLE / CHAR);
// - Yes, True, No, False become TRUE and FALSE.
// Operators that MySQL reads with another meaning (^, \), references to
// forms and reports (Forms!Name!Control) and Like patterns with character
// lists or digit wildcards are not translated: the result is then !ok with
// the reason. Other Access functions are passed on as written.
TranslatedExpression TranslateAccessExpression(std::string_view expression,
                                               const NameMapping& names);

}  // namespace tablift
