#include "tests/support/test_paths.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tablift::test {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::optional<std::filesystem::path> FixturesDirectory() {
  std::filesystem::path dir;
  if (const char* configured = std::getenv("TABLIFT_FIXTURES_DIR")) {
    dir = configured;
  } else {
    dir = "../shared/fixtures";
  }
  std::error_code error;
  if (!std::filesystem::is_directory(dir, error)) return std::nullopt;
  return std::filesystem::canonical(dir, error);
}

ScopedTempDir::ScopedTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tablift-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ScopedEnvironment::ScopedEnvironment(const char* name, const std::optional<std::string>& value)
    : name_(name) {
  if (const char* old = std::getenv(name)) previous_ = old;
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

ScopedEnvironment::~ScopedEnvironment() {
  if (previous_) {
    setenv(name_.c_str(), previous_->c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

}  // namespace tablift::test
