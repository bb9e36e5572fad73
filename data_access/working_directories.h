#pragma once

#include <filesystem>
#include <string_view>

namespace tablift {

// Where the program keeps its settings, condition file, data cache and
// backups: $TABLIFT_HOME when set; else the running executable's directory when
// it is writable (a build tree, a portable install) and no installation (a
// bin folder with lib/tablift beside it, as the package installs); else
// $XDG_DATA_HOME/tablift (~/.local/share/tablift), created when missing.
std::filesystem::path ProgramDirectory();

// Makes `dir` exist as a directory without entering it (a plain file in its
// place is deleted); false, after telling the user why, when it cannot.
bool MakeDirectory(const std::filesystem::path& dir);

}  // namespace tablift
