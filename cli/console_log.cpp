#include "cli/console_log.h"

#include <unistd.h>

#include <cstdio>

#include "engine/workbench.h"

namespace tablift {

ConsoleLog::ConsoleLog(Workbench& window, Verbosity verbosity)
    : window_(window),
      verbosity_(verbosity),
      terminal_(isatty(STDOUT_FILENO) != 0 && isatty(STDERR_FILENO) != 0) {
  window_.output().addListener(this);
}

ConsoleLog::~ConsoleLog() {
  window_.output().removeListener(this);
  std::fflush(stdout);
}

void ConsoleLog::lineAdded(const LogLine& line) {
  // Quiet keeps what went wrong: the lines the log shows red.
  if (verbosity_ == Verbosity::Quiet && line.textColour != kErrorRed) return;
  // On a terminal a progress line may stand where this line goes: it is
  // wiped first, and drawn again below by whoever shows it.
  if (terminal_) std::fputs("\r\x1b[K", stdout);
  std::fwrite(line.text.data(), 1, line.text.size(), stdout);
  std::fputc('\n', stdout);
  // Each line whole and at once, so that what goes to standard error
  // meanwhile (messages, the verdict) never lands inside a log line.
  std::fflush(stdout);
}

}  // namespace tablift
