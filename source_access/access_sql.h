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

// Whether a migration condition is a single WHERE clause: no ";" outside its
// string literals ('...', "..."), bracketed names and #dates#, so that it
// cannot end the SELECT it is appended to and start a statement of its own.
bool IsSingleCondition(std::string_view condition);

}  // namespace tablift
