#pragma once

#include <string_view>

namespace tablift {

// The first line of every backup script file (.tbl, .data, .vw): the files
// hold UTF-8 text, and a client replaying them (`mariadb DB < file`) would
// otherwise read them in its own default character set and refuse or garble
// what that set cannot hold, 4-byte characters first. Comment-guarded, as
// dump tools write it, so that a server too old to know the statement skips
// it.
inline constexpr std::string_view kScriptCharsetLine = "/*!40101 SET NAMES utf8mb4 */;\n";

}  // namespace tablift
