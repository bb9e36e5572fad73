#include "engine/access_file_list.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "access/source_init_properties.h"
#include "data_access/ascii_text.h"
#include "mysql/catalog_statements.h"

namespace tablift {
namespace {

bool IsAccessFile(const std::filesystem::directory_entry& entry) {
  std::error_code error;
  return entry.is_regular_file(error) && IsAccessFileName(entry.path());
}

Result<std::vector<std::filesystem::path>> FilesInFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error)
    return Status::Failure("cannot read the folder " + folder.string() + ": " + error.message());
  std::vector<std::filesystem::path> files;
  for (const std::filesystem::directory_entry& entry : entries) {
    if (IsAccessFile(entry)) files.push_back(entry.path());
  }
  if (files.empty())
    return Status::Failure("the folder " + folder.string() + " holds no .mdb or .accdb file");
  std::sort(files.begin(), files.end());
  return files;
}

// The server may fold the case of database names, so names that differ only
// in case are taken as one.
Status OneDatabaseEach(const std::vector<std::filesystem::path>& files) {
  std::map<std::string, const std::filesystem::path*> taken;
  for (const std::filesystem::path& file : files) {
    const std::string database = CloneDatabaseName(file);
    const auto [at, added] = taken.emplace(ToLowerAscii(database), &file);
    if (!added) {
      return Status::Failure(at->second->string() + " and " + file.string() +
                             " would both be cloned into the database [" + database +
                             "]; migrate one of them on its own");
    }
  }
  return Status::Ok();
}

}  // namespace

bool IsAccessFileName(const std::filesystem::path& path) {
  const std::string ending = path.extension().string();
  return EqualsIgnoreCase(ending, ".mdb") || EqualsIgnoreCase(ending, ".accdb");
}

std::string CloneDatabaseName(const std::filesystem::path& path) {
  return StripDatabasePath(AccessDatabaseName(path.string()));
}

bool NamesManyFiles(const std::vector<std::string>& arguments) {
  std::error_code error;
  return arguments.size() > 1 ||
         (arguments.size() == 1 && std::filesystem::is_directory(arguments.front(), error));
}

Result<std::vector<std::filesystem::path>> AccessFilesOf(
    const std::vector<std::string>& arguments) {
  std::vector<std::filesystem::path> files;
  for (const std::string& argument : arguments) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(argument, error);
    if (error) return Status::Failure("cannot find " + argument + ": " + error.message());
    if (!std::filesystem::is_directory(path, error)) {
      files.push_back(path);
      continue;
    }
    Result<std::vector<std::filesystem::path>> inFolder = FilesInFolder(path);
    if (!inFolder.ok()) return inFolder.status();
    files.insert(files.end(), inFolder.value().begin(), inFolder.value().end());
  }
  const Status distinct = OneDatabaseEach(files);
  if (!distinct.ok()) return distinct;
  return files;
}

}  // namespace tablift
