#pragma once

#include <filesystem>
#include <string_view>

namespace tablift {

// Where the program keeps its settings, condition file, data cache and
// backups: $TABLIFT_HOME when set; else the running executable's directory when
// it is writable (a build tree, a portable install); else
// $XDG_DATA_HOME/tablift (~/.local/share/tablift), created when missing.
std::filesystem::path ProgramDirectory();

// Makes `dir` exist as a directory without entering it (a plain file in its
// place is deleted); false, after telling the user why, when it cannot.
bool MakeDirectory(const std::filesystem::path& dir);

// The directory operations below make a directory exist and make it the
// process's current directory, so that later relative file names land in it.
// A plain file standing where the directory belongs is deleted first. In "\"
// and "/" both separate names. When the directory cannot be made or entered,
// the user is told why, the current directory stays where it was and the
// result is false.

// name is relative to the program's directory: "./backup", "./data_cache", or
// "./" for the program's directory itself.
bool EnterProgramSubdirectory(std::string_view name);

// path is a full path to the directory.
bool EnterDirectory(std::string_view path);

// Only the last name of path is used, as a directory inside the current one.
// Refuses an empty name, "." and "..", so that an object's name can never lead
// out of the current directory.
bool EnterNamedDirectory(std::string_view path);

}  // namespace tablift
