#include "mysql/odbc_library_files.h"

#include <dlfcn.h>
#include <sql.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "core/environment_references.h"

namespace tablift {
namespace {

namespace fs = std::filesystem;

bool IsFile(const fs::path& path) {
  std::error_code ignored;
  return fs::is_regular_file(path, ignored);
}

void AppendSearchPath(const char* variable, std::vector<fs::path>& directories) {
  const char* value = std::getenv(variable);
  if (value == nullptr) return;
  std::string_view list(value);
  while (!list.empty()) {
    const std::size_t colon = list.find(':');
    const std::string_view entry = list.substr(0, colon);
    if (!entry.empty()) directories.emplace_back(entry);
    if (colon == std::string_view::npos) break;
    list.remove_prefix(colon + 1);
  }
}

}  // namespace

std::optional<fs::path> LoadedDriverManagerLibrary() {
  Dl_info info{};
  // The address of an entry point of the driver manager leads to the object
  // that provides it, wherever the dynamic linker found it.
  if (dladdr(reinterpret_cast<void*>(&SQLAllocHandle), &info) == 0 || info.dli_fname == nullptr) {
    return std::nullopt;
  }
  fs::path library(info.dli_fname);
  if (!IsFile(library)) return std::nullopt;
  return library;
}

std::vector<fs::path> OdbcLibrarySearchDirectories() {
  std::vector<fs::path> directories;
  // unixODBC is built with its module directory beside its own library
  // (Debian: <libdir>/odbc) and hands that to libltdl as the first place to
  // look; libltdl then tries its two variables and the system's directories.
  fs::path libraryDirectory;
  if (auto manager = LoadedDriverManagerLibrary()) {
    libraryDirectory = manager->parent_path();
    directories.push_back(libraryDirectory / "odbc");
  }
  AppendSearchPath("LTDL_LIBRARY_PATH", directories);
  AppendSearchPath("LD_LIBRARY_PATH", directories);
  if (!libraryDirectory.empty()) directories.push_back(libraryDirectory);

  // The dynamic linker's own places, multiarch ones included (the driver
  // manager's directory names the architecture on Debian).
  const std::string parent = libraryDirectory.parent_path().string();
  const std::string triplet =
      parent == "/usr/lib" || parent == "/lib" ? libraryDirectory.filename().string() : "";
  for (const char* base : {"/usr/local/lib", "/lib", "/usr/lib"}) {
    if (!triplet.empty()) directories.push_back(fs::path(base) / triplet);
    directories.emplace_back(base);
  }
  return directories;
}

std::optional<fs::path> ResolveOdbcLibrary(std::string_view configured) {
  const std::string expanded = ExpandEnvironmentReferences(configured);
  if (expanded.empty()) return std::nullopt;
  if (expanded.find('/') != std::string::npos) {
    if (IsFile(expanded)) return fs::path(expanded);
    return std::nullopt;
  }
  for (const fs::path& directory : OdbcLibrarySearchDirectories()) {
    fs::path candidate = directory / expanded;
    if (IsFile(candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace tablift
