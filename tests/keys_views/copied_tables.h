#pragma once

#include <string>
#include <vector>

#include "engine/workbench.h"

namespace tablift::test {

// Creates the named Access tables of the workbench's source in the current
// target database, with plain MySQL column types taken from the Jet
// provider's column information, and copies their rows. Just enough for the
// keys, relationships and views to have something real to work on. Adds a
// gtest failure when a statement is refused.
void CopyTables(Workbench& window, const std::vector<std::string>& tables);

// Splits a text of statements at ";" and runs every non-blank piece on the
// target, failing the test for each one refused.
void ExecuteEachOrFail(Workbench& window, const std::string& statements);

}  // namespace tablift::test
