#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tablift::test {

// The folder of real Access files beside the repository, when it is there.
// Tests that need one call GTEST_SKIP() when this is empty.
std::optional<std::filesystem::path> FixturesDirectory();

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Restores the process's current directory when it goes away; tests of code
// that changes directory use it so that they leave no trace for the next test.
class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() : saved_(std::filesystem::current_path()) {}
  ~CurrentDirectoryGuard() {
    std::error_code ignored;
    std::filesystem::current_path(saved_, ignored);
  }
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

 private:
  std::filesystem::path saved_;
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace tablift::test
