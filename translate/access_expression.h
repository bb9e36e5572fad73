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

// Translates an expression stored by Access (a select list item, a
// condition, a join condition, a grouping or ordering term) into MySQL text
// that gives the value Access gives. The expression is parsed with Access's
// operator precedence and written back with the parentheses MySQL needs:
// - [Name] and bare names become `Name` (through `names`); T!Name is T.Name;
// - "text" and 'text' become MySQL string literals, #dates# TIMESTAMP
//   literals, Yes/True/No/False TRUE and FALSE;
// - & joins texts taking Null as empty (Null only when all are Null), + of
//   two texts joins them, a date plus or minus a number moves it by days;
// - / divides in Double, \ and Mod round their operands half to even,
//   ^ is POWER;
// - Like patterns (* ? # [a-z] [!a-z]) become LIKE or an anchored REGEXP,
//   blind to case; Between, In (list or subquery), Is [Not] Null, Exists;
// - (SELECT ...) subqueries are translated as TranslateAccessSelect does;
// - Access functions become MySQL text with Access's semantics (see
//   access_functions.h and access_format.h).
// A function MySQL cannot compute as Access does (Eval, DLookup, First,
// Last, an unknown one), references to forms and reports (Forms!Name!Control)
// and parameters give !ok with the reason naming them; nothing is passed on
// untranslated.
TranslatedExpression TranslateAccessExpression(std::string_view expression,
                                               const NameMapping& names);

}  // namespace tablift
