#pragma once

#include <string>

#include "translate/access_parser.h"

namespace tablift {

// `value Like pattern` (Not Like when `negated`) as a MySQL condition.
// Access patterns know * (any text), ? (one character), # (one digit),
// [a-z] and [!a-z] (one character of a list or not of it), and are blind
// to case. A pattern of * and ? alone becomes LIKE with % and _; any other
// becomes REGEXP, anchored at both ends. A pattern built with & from
// literals and values takes the values' wildcards as Access does.
std::string LikeCondition(const std::string& value, const Operand& pattern, bool negated);

}  // namespace tablift
