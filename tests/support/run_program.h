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

// The same started in the background: the child's process id (-1 when it
// could not be started), its output going to `outputFile`.
int StartProgram(const std::vector<std::string>& arguments,
                 const std::filesystem::path& outputFile);
// Waits for a program StartProgram started; its exit code, -1 when a signal
// ended it.
int WaitForProgram(int child);

}  // namespace tablift::test
