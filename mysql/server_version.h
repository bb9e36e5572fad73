#pragma once

#include <string_view>

namespace tablift {

// The server's major and minor version as a number, from the text that the
// connect flow stores for the target: the DBMS name, "[", the version, "]"
// ("MySQL[5.0.51a]" gives 5.0, "MariaDB[10.11.6-MariaDB-0+deb12u1]" gives
// 10.11). Whatever the name's length, the version starts after the first "[";
// text without "[" is taken as a bare version. 0 when no number can be read.
double ParseServerVersion(std::string_view dbmsName);

}  // namespace tablift
