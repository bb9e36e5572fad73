#include "access/access_file_names.h"

#include <filesystem>
#include <system_error>

#include "data_access/ascii_text.h"

namespace tablift {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         EqualsIgnoreCase(text.substr(text.size() - ending.size()), ending);
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

bool HasAccessFileEnding(std::string_view path) {
  return EndsWithIgnoringCase(path, ".mdb") || EndsWithIgnoringCase(path, ".accdb");
}

std::string AccessFileOf(std::string name) {
  if (HasAccessFileEnding(name)) return name;
  if (!FileExists(name + ".mdb") && FileExists(name + ".accdb")) return name + ".accdb";
  return name + ".mdb";
}

}  // namespace tablift
