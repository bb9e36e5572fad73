#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/status.h"

namespace tablift {

// The database a clone of the Access file at `path` goes into: the file's
// name without its folder and its .mdb or .accdb ending, as the clone names
// it.
std::string CloneDatabaseName(const std::filesystem::path& path);

// Whether the path ends as an Access file does: .mdb or .accdb, in any case.
bool IsAccessFileName(const std::filesystem::path& path);

// Whether the source arguments of migrate ask for many files: more than one,
// or a folder.
bool NamesManyFiles(const std::vector<std::string>& arguments);

// The Access files the arguments name, as full paths: a folder gives the
// .mdb and .accdb files directly in it (any case of the ending), in name
// order; a file stands for itself. Refused, naming them, when a folder holds
// no Access file or two files would clone into one database (A.mdb and
// A.accdb, or one file named twice).
Result<std::vector<std::filesystem::path>> AccessFilesOf(const std::vector<std::string>& arguments);

}  // namespace tablift
