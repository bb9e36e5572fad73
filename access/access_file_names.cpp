#include "access/access_file_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace tablift {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  const std::string_view tail = text.substr(text.size() - ending.size());
  return std::equal(tail.begin(), tail.end(), ending.begin(),
                    [](unsigned char a, char b) { return std::tolower(a) == b; });
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
