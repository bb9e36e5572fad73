#pragma once

#include <string>
#include <string_view>

namespace tablift {

// How a log line is shown. A message written with a prefix ("E::", "T::",
// "S::") gets the matching severity; the prefix itself is not shown.
enum class Severity { Information, Error, ProviderText, Success };

// The severity a message's prefix asks for, and the message without it.
Severity SeverityOf(std::string_view message);
std::string_view WithoutSeverityPrefix(std::string_view message);

// Where log lines go: the window's log pane, the terminal, a test's record.
// Implementations are safe to call from any thread.
class LogSink {
 public:
  virtual ~LogSink() = default;
  // A message that may start with a severity prefix.
  virtual void appendMessage(std::string message) = 0;
  // A line taken as it stands: no prefix is looked at.
  virtual void appendPlain(std::string text) = 0;
};

}  // namespace tablift
