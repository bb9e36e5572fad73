#pragma once

#include <string_view>

namespace tablift {

class JobContext;
class LogSink;

// Formats a printf-style message and writes it as one timestamped line of the
// log. "E::" (errors, red), "T::" (provider texts, orange) and "S::" (successes,
// green) at the start choose the colour and are not shown. The formatted text
// is used as it is: percent signs in the arguments survive. A message longer
// than the classic 1024 characters is kept whole rather than cut, so that no
// provider error text is lost. Safe from any thread.
void WriteLine(LogSink& log, const char* format, ...) __attribute__((format(printf, 2, 3)));
void WriteLine(JobContext& job, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Writes a plain line: the text is taken as it stands, no prefix is looked at.
void WritePlainLine(JobContext& job, std::string_view text);

}  // namespace tablift
