#pragma once

#include "engine/output_pane.h"

namespace tablift {

class Workbench;

// How much a command says while it works: --quiet only the errors (and the
// summary and verdict at the end), normally every log line with a live
// progress line on a terminal, --verbose the progress also as plain lines
// when the output is no terminal.
enum class Verbosity { Quiet, Normal, Verbose };

// Prints every log line of a workbench on standard output as the log pane
// shows it (time stamp and text), for as long as it lives.
class ConsoleLog : public OutputListener {
 public:
  explicit ConsoleLog(Workbench& window, Verbosity verbosity = Verbosity::Normal);
  ~ConsoleLog() override;
  ConsoleLog(const ConsoleLog&) = delete;
  ConsoleLog& operator=(const ConsoleLog&) = delete;

  void lineAdded(const LogLine& line) override;

 private:
  Workbench& window_;
  Verbosity verbosity_;
  // Standard output and error both on a terminal, where a progress line
  // may be shown.
  bool terminal_;
};

}  // namespace tablift
