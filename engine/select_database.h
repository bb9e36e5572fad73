#pragma once

#include <string>

namespace tablift {

class Workbench;

// Switches one side (Workbench::kSourceSide or kTargetSide) to another
// database and reconnects that side. A name without a folder ("\" or "/") is
// taken from the folder of the target tree's current database. For the Jet
// provider the name is an Access database name (a path with or without its
// ".mdb" or ".accdb" ending; without one it becomes the file AccessFileOf
// finds) and becomes the side's source name; for other providers
// it becomes the side's catalog. The target tree also remembers the name as
// its current database. Always true: the reconnection reports its own
// failures.
bool SelectDatabase(Workbench& window, std::string name, int side);

}  // namespace tablift
