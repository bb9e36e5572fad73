#include "cli/console_log.h"

#include <cstdio>

#include "Converters/workbench.h"

namespace tablift {

ConsoleLog::ConsoleLog(Workbench& window) : window_(window) {
  window_.output().addListener(this);
}

ConsoleLog::~ConsoleLog() {
  window_.output().removeListener(this);
  std::fflush(stdout);
}

void ConsoleLog::lineAdded(const LogLine& line) {
  std::fwrite(line.text.data(), 1, line.text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace tablift
