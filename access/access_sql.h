#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tablift {

// An Access object name as the Access SQL of the Jet provider (and of the
// Access ODBC driver) reads it whatever it holds: in square brackets, so that
// reserved words (Order, Table), blanks and other characters are one name.
// Nothing for a name that brackets cannot carry (empty, or holding "]", which
// Access does not allow in names either): such a name is refused rather than
// sent in pieces.
std::optional<std::string> BracketedAccessName(std::string_view name);

// A migration condition as it can follow " where " in a SELECT: without outer
// blanks and without a ";" that merely ends it (the count query of the
// condition dialog accepts one, the Access ODBC driver does not). Nothing when
// it holds a ";" anywhere else outside its string literals ('...', "..."),
// bracketed names and #dates#: it could then end the SELECT and start a
// statement of its own.
std::optional<std::string> SingleCondition(std::string_view condition);

}  // namespace tablift
