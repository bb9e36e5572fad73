#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tablift::test {

struct ProgramRun {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

// Runs the program with its arguments as they are (no shell in between),
// standard input empty, its output collected in a file of `folder`.
ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder);

}  // namespace tablift::test
