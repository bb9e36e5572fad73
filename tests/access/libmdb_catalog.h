#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tablift::test {

// The catalog of an Access file as libmdb reads it.
struct LibmdbCatalog {
  int jetVersion = 0;  // libmdb's MDB_VER_* number
  std::vector<std::string> userTables;
  std::vector<std::string> systemTables;
};

// Opens the file with libmdb and lists its tables; nothing when libmdb cannot
// open it or read its catalog.
std::optional<LibmdbCatalog> ReadLibmdbCatalog(const std::filesystem::path& path);

}  // namespace tablift::test
