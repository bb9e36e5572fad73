#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tablift {

// The statements of a text that holds several, separated by ";". A ";" inside
// a quoted name (`...`) or a string ('...' or "...") does not separate, so a
// name holding one is not cut in two. Pieces with nothing but white space are
// left out.
std::vector<std::string> SplitStatements(std::string_view text);

}  // namespace tablift
