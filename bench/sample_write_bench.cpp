// Rows per second while writing the sample database into a temporary file.
// Usage: sample_write_bench [ROWS]   (default 200000 rows in each big table)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "access/sample_database.h"

int main(int argc, char** argv) {
  const std::uint64_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 200000;
  if (rows == 0) {
    std::fputs("usage: sample_write_bench [ROWS]\n", stderr);
    return 2;
  }
  const auto path = std::filesystem::temp_directory_path() /
                    ("tablift-sample-bench-" + std::to_string(getpid()) + ".mdb");
  tablift::SampleSummary summary;
  const auto start = std::chrono::steady_clock::now();
  const auto status = tablift::WriteSampleDatabase(path, rows, summary);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  if (!status) {
    std::fprintf(stderr, "sample_write_bench: %s\n", status.message().c_str());
    return 1;
  }
  std::error_code error;
  const auto bytes = std::filesystem::file_size(path, error);
  std::filesystem::remove(path, error);
  std::printf("sample: %llu rows in %.2f s = %.0f rows/s (%.1f MB)\n",
              static_cast<unsigned long long>(summary.rows), seconds.count(),
              static_cast<double>(summary.rows) / seconds.count(),
              static_cast<double>(bytes) / 1e6);
  return 0;
}
