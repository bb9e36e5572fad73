#pragma once

#include <filesystem>
#include <string>

#include "engine/workbench.h"

namespace tablift::test {

// Connects the workbench's source side to an Access file through the Jet
// provider as Connect does (data source = the path, the database password),
// with the profile filled in. Adds a gtest failure and returns false when
// it cannot.
bool ConnectSource(Workbench& window, const std::filesystem::path& path,
                   const std::string& password = "");

// The database name of an Access file: its path without the ".mdb" ending.
std::string AccessDatabaseName(const std::filesystem::path& path);

}  // namespace tablift::test
