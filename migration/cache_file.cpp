#include "migration/cache_file.h"

#include <cstdio>

#include "core/write_line.h"

namespace tablift {
namespace {

bool WriteFile(const std::string& fileName, const char* mode, std::string_view text) {
  std::FILE* file = std::fopen(fileName.c_str(), mode);
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

bool RewriteCacheFile(const std::string& fileName, std::string_view text) {
  return WriteFile(fileName, "w+", text);
}

bool AppendCacheFile(const std::string& fileName, std::string_view text) {
  return WriteFile(fileName, "a+", text);
}

void WriteCacheFileFailure(JobContext& job) {
  WriteLine(job, "Perhaps CHARACTER SET not correct!\nPlease change and try again.");
}

}  // namespace tablift
