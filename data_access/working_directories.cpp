#include "data_access/working_directories.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "data_access/user_messages.h"

namespace fs = std::filesystem;

namespace tablift {
namespace {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

fs::path ExecutableDirectory() {
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : executable.parent_path();
}

bool IsWritableDirectory(const fs::path& dir) {
  std::error_code error;
  return !dir.empty() && fs::is_directory(dir, error) && access(dir.c_str(), W_OK | X_OK) == 0;
}

// An installation (the Debian package's layout: bin with lib/tablift beside
// it) is shared by every user of the machine, even when the one running it
// could write there (root): its settings belong to the user.
bool IsInstallation(const fs::path& dir) {
  std::error_code error;
  return dir.filename() == "bin" && fs::is_directory(dir.parent_path() / "lib" / "tablift", error);
}

fs::path UserDataDirectory() {
  // XDG base directories ignore relative values.
  fs::path base = EnvironmentValue("XDG_DATA_HOME");
  if (!base.is_absolute()) base = fs::path(EnvironmentValue("HOME")) / ".local" / "share";
  return base / "tablift";
}

void Tell(const std::string& what, const fs::path& dir, const std::error_code& error) {
  ShowUserMessage(what + " [" + dir.string() + "]: " + error.message());
}

}  // namespace

bool MakeDirectory(const fs::path& dir) {
  std::error_code error;
  const fs::file_status status = fs::status(dir, error);
  if (fs::exists(status) && !fs::is_directory(status)) {
    if (!fs::remove(dir, error)) {
      if (!error) error = std::make_error_code(std::errc::no_such_file_or_directory);
      Tell("Can not remove the file in place of directory", dir, error);
      return false;
    }
  }
  if (!fs::is_directory(dir, error)) {
    fs::create_directories(dir, error);
    if (error) {
      Tell("Can not create directory", dir, error);
      return false;
    }
  }
  return true;
}

fs::path ProgramDirectory() {
  if (const std::string home = EnvironmentValue("TABLIFT_HOME"); !home.empty()) return home;
  if (fs::path dir = ExecutableDirectory(); IsWritableDirectory(dir) && !IsInstallation(dir))
    return dir;
  fs::path dir = UserDataDirectory();
  std::error_code ignored;  // reported by whichever operation then uses it
  fs::create_directories(dir, ignored);
  return dir;
}

}  // namespace tablift
