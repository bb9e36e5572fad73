#pragma once

#include <string>
#include <vector>

#include "translate/access_parser.h"

namespace tablift {

// An Access function call with its translated arguments as MySQL text that
// gives the value Access gives. A function MySQL cannot compute as Access
// does throws Untranslatable naming it.
Operand TranslateFunction(const std::string& name, const std::vector<Operand>& arguments);

// `value` rounded half to even to `digits` decimals, as Access rounds
// (CInt, CLng, Round, the operands of \ and Mod). Exact decimal arithmetic,
// so that 2.5 and 0.125 are seen as the halves they are.
std::string HalfEven(const std::string& value, int digits);

// A whole-number operand as Access uses it in \ and Mod: rounded half to
// even unless it is a whole-number literal already.
std::string WholeNumber(const Operand& operand);

}  // namespace tablift
