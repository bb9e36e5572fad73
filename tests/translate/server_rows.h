#pragma once

#include <string>
#include <vector>

#include "engine/workbench.h"

namespace tablift::test {

// Every row of a query on the target session, its values joined by | and
// NULL written as NULL. Adds a test failure when the server refuses it.
std::vector<std::string> ServerRows(Workbench& window, const std::string& sql);

}  // namespace tablift::test
