#pragma once

#include <string>
#include <vector>

namespace tablift {

// A program run as a child of this one, its output relayed line by line
// with its label in front ("label: line"): standard output to standard
// output, standard error to standard error.
struct ChildRun {
  std::string label;
  std::vector<std::string> arguments;  // the program first, as a full path
  // How it ended: the exit code, or -1 when it was killed by a signal (then
  // `signal` says which) or could not be started (then `errorLines` says why).
  int exitCode = -1;
  int signal = 0;
  // The lines it wrote on standard error: its own word on what went wrong.
  std::vector<std::string> errorLines{};
  double seconds = 0;
};

// Runs every child, at most `jobs` at a time, in their order, until all have
// ended.
void RunChildren(std::vector<ChildRun>& runs, int jobs);

}  // namespace tablift
