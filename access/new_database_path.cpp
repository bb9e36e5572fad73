#include "access/new_database_path.h"

#include <algorithm>

#include "core/environment_references.h"

namespace tablift {

std::string FolderPart(std::string_view path) {
  const auto last = path.find_last_of("\\/");
  if (last == std::string_view::npos) return {};
  return std::string(path.substr(0, last + 1));
}

std::string WithForwardSlashes(std::string text) {
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

std::string NewAccessDatabasePath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += name;
  if (path.find(".mdb") == std::string::npos && path.find(".accdb") == std::string::npos) {
    path += ".mdb";
  }
  return WithForwardSlashes(std::move(path));
}

std::string WorkgroupFilePath() {
  return WithForwardSlashes(ExpandEnvironmentReferences(
      "%USERPROFILE%\\Application Data\\Microsoft\\Access\\System.MDW"));
}

}  // namespace tablift
