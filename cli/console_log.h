#pragma once

#include "engine/output_pane.h"

namespace tablift {

class Workbench;

// Prints every log line of a workbench on standard output as the log pane
// shows it (time stamp and text), for as long as it lives.
class ConsoleLog : public OutputListener {
 public:
  explicit ConsoleLog(Workbench& window);
  ~ConsoleLog() override;
  ConsoleLog(const ConsoleLog&) = delete;
  ConsoleLog& operator=(const ConsoleLog&) = delete;

  void lineAdded(const LogLine& line) override;

 private:
  Workbench& window_;
  // Standard output and error both on a terminal, where a progress line
  // may be shown.
  bool terminal_;
};

}  // namespace tablift
