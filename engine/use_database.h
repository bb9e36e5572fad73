#pragma once

#include <string>
#include <string_view>

namespace tablift {

class Workbench;

enum ConnectionSide { kSourceSide = 0, kTargetSide = 1 };

// Makes `name` (only its last path component) the current database of one
// side: remembers it as that side's catalog name and runs "use `name`;"
// quietly on that side's session. False when the statement failed (`failure`,
// when given, then holds the server's reason); true for a side other than
// source and target, which does nothing.
bool UseDatabase(Workbench& window, std::string_view name, int side,
                 std::string* failure = nullptr);

}  // namespace tablift
