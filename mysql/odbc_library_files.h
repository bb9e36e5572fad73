#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace tablift {

// The file of the unixODBC driver manager library loaded into this process;
// empty when it cannot be told or no longer exists.
std::optional<std::filesystem::path> LoadedDriverManagerLibrary();

// Where the driver manager looks for a driver library that odbcinst.ini names
// without a directory, in its order: its module directory, LTDL_LIBRARY_PATH,
// LD_LIBRARY_PATH, then the system's library directories.
std::vector<std::filesystem::path> OdbcLibrarySearchDirectories();

// The file that a library value of odbcinst.ini ("Driver", "Setup") names,
// after "%NAME%" expansion: a value with a directory part is taken as a path
// (relative ones from the current directory, as the loader takes them); a bare
// file name is looked up in OdbcLibrarySearchDirectories(). Empty when no
// regular file (or link to one) is there.
std::optional<std::filesystem::path> ResolveOdbcLibrary(std::string_view configured);

}  // namespace tablift
