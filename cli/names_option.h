#pragma once

#include <string>

#include "translate/mysql_names.h"

namespace tablift {

inline constexpr const char* kNamesUsage = "[--names keep|underscore]";

// Takes "--names keep|underscore" at argv[i], advancing i past its value.
// False when argv[i] is something else, or (with `error` set) when the value
// is missing or neither rule.
bool TakeNamesOption(int argc, char** argv, int& i, NameRule& rule, std::string& error);

}  // namespace tablift
