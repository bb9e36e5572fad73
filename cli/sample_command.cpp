#include "cli/sample_command.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "access/sample_database.h"
#include "cli/command_help.h"

namespace tablift {
namespace {

constexpr const char* kSampleUsage = "Usage: tablift-cli sample PATH [--rows N]\n";

bool ParseRows(std::string_view text, std::uint64_t& rows) {
  if (text.empty() || text.size() > 9) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value == 0) return false;
  rows = value;
  return true;
}

}  // namespace

int RunSampleCommand(int argc, char** argv) {
  if (AsksForHelp(argc, argv)) return ShowHelp(kSampleUsage);
  std::string path;
  std::uint64_t rows = kDefaultSampleRows;
  for (int i = 0; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (argument == "--rows") {
      if (i + 1 >= argc || !ParseRows(argv[i + 1], rows)) {
        std::fputs("tablift-cli sample: --rows needs a whole number from 1 to 999999999\n", stderr);
        return 1;
      }
      ++i;
    } else if (path.empty() && !argument.starts_with("-")) {
      path = argument;
    } else {
      std::fprintf(stderr, "tablift-cli sample: unexpected argument '%s'\n%s", argv[i],
                   kSampleUsage);
      return 1;
    }
  }
  if (path.empty()) {
    std::fputs(kSampleUsage, stderr);
    return 1;
  }
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    std::fprintf(stderr, "tablift-cli sample: %s already exists; it is never overwritten\n",
                 path.c_str());
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  SampleSummary summary;
  const auto status = WriteSampleDatabase(path, rows, summary);
  if (!status) {
    std::fprintf(stderr, "tablift-cli sample: %s\n", status.message().c_str());
    return 1;
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("Wrote %s: %d tables, %llu rows, %d relationships, %d queries in %.2f s\n",
              path.c_str(), summary.tables, static_cast<unsigned long long>(summary.rows),
              summary.relationships, summary.queries, seconds.count());
  return 0;
}

}  // namespace tablift
