#include "core/write_line.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "core/job_context.h"

namespace tablift {
namespace {

std::string FormatMessageText(const char* format, va_list arguments) {
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, arguments);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

void WriteLine(LogSink& log, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string message = FormatMessageText(format, arguments);
  va_end(arguments);
  log.appendMessage(std::move(message));
}

void WriteLine(JobContext& job, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string message = FormatMessageText(format, arguments);
  va_end(arguments);
  job.log().appendMessage(std::move(message));
}

void WritePlainLine(JobContext& job, std::string_view text) {
  job.log().appendPlain(std::string(text));
}

}  // namespace tablift
