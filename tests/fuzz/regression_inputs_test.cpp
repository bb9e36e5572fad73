// Replays, through the fuzz targets' own entry functions, the inputs that
// once crashed, hung or broke a promise under the fuzzer (fuzz/regressions/)
// and the hand-written seeds (fuzz/corpus/), so that the regular build keeps
// every mended fault mended without a fuzzer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "data_access/profile_file.h"
#include "fuzz/fuzz_entries.h"
#include "tests/support/test_paths.h"

namespace tablift::fuzz {
namespace {

std::filesystem::path SourceDirectory() {
  const char* source = std::getenv("TABLIFT_SOURCE_DIR");
  return source != nullptr ? std::filesystem::path(source) : std::filesystem::path(".");
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file of the target's folders, in a stable order.
std::vector<std::filesystem::path> Inputs(const std::string& target) {
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"regressions", "corpus"}) {
    const std::filesystem::path directory = SourceDirectory() / "fuzz" / folder / target;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ignored)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

void ReplayAll(const std::string& target,
               const std::function<void(std::span<const std::uint8_t>)>& run) {
  const std::vector<std::filesystem::path> files = Inputs(target);
  ASSERT_FALSE(files.empty()) << "no inputs for " << target << " under "
                              << SourceDirectory() / "fuzz";
  for (const std::filesystem::path& file : files) {
    // An entry function aborts on a broken promise; the last name shown is
    // then the input that did it.
    std::cerr << "replaying " << file.string() << std::endl;
    SCOPED_TRACE(file.string());
    const std::vector<std::uint8_t> bytes = ReadBytes(file);
    run(bytes);
  }
}

TEST(FuzzRegressions, AccessQueriesRunToTheEnd) {
  ReplayAll("access_query", RunAccessQuery);
}

TEST(FuzzRegressions, ProfileFilesReadAndWriteBack) {
  ReplayAll("profile_file", RunProfileFile);
}

TEST(FuzzRegressions, DamagedAccessFilesOpenOrFail) {
  ReplayAll("access_file", RunAccessFile);
}

}  // namespace
}  // namespace tablift::fuzz
