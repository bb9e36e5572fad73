#pragma once

#include <string>
#include <string_view>

namespace tablift {

// The folder part of a database path: everything up to and including the
// last "\" or "/"; empty when the path has neither.
std::string FolderPart(std::string_view path);

// The path of a new Access database: the folder followed by the name, with
// ".mdb" appended when the result contains neither ".mdb" nor ".accdb"
// anywhere (so "x.mdb.bak" and "x.accdb" keep their names), and every "\" turned into "/" so that a
// Windows-style path names real folders here.
std::string NewAccessDatabasePath(std::string_view folder, std::string_view name);

// Where the Jet workgroup (system) database lives: the expansion of
// "%USERPROFILE%\Application Data\Microsoft\Access\System.MDW" (USERPROFILE
// falling back to HOME), its "\" turned into "/".
std::string WorkgroupFilePath();

// Turns every "\" into "/".
std::string WithForwardSlashes(std::string text);

}  // namespace tablift
