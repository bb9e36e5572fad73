#include "data_access/error_texts.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "data_access/oledb_messages.h"

namespace tablift {
namespace {

constexpr const char* kUnknownError = "Unknown Error!";

std::string FormatFailure(std::string_view step, std::uint32_t code, std::string_view message) {
  char code_text[16];
  std::snprintf(code_text, sizeof code_text, "%08x", static_cast<unsigned>(code));
  std::string text;
  text.reserve(step.size() + message.size() + 64);
  text.append(step);
  text.append(" \r\n failed with error code:[0x");
  text.append(code_text);
  text.append("] \r\n discription:");
  text.append(message);
  return text;
}

// strerror_r comes in two flavours (XSI returns a status, GNU a pointer); these
// overloads accept whichever the C library provides.
[[maybe_unused]] const char* StrerrorResult(int status, const char* buffer) {
  return status == 0 ? buffer : "";
}
[[maybe_unused]] const char* StrerrorResult(const char* text, const char*) {
  return text != nullptr ? text : "";
}

std::string SystemErrorMessage(int error) {
  char buffer[256] = {};
  return StrerrorResult(strerror_r(error, buffer, sizeof buffer), buffer);
}

}  // namespace

std::string DescribeOleDbError(const ErrorInfoSupport* object, InterfaceId iid) {
  if (object == nullptr || Failed(object->InterfaceSupportsErrorInfo(iid))) return kUnknownError;
  const std::optional<ErrorObject> error = TakeThreadErrorObject();
  if (!error) return kUnknownError;
  if (!error->records) return error->own.description;
  if (error->records->empty()) return kUnknownError;
  const std::optional<ErrorRecord>& first = error->records->front();
  return first ? first->description : std::string();
}

std::string DescribeStepFailure(HResult code, std::string_view step) {
  return FormatFailure(step, static_cast<std::uint32_t>(code), LookupResultMessage(code));
}

std::string DescribeSystemError(std::string_view step, int error) {
  return FormatFailure(step, static_cast<std::uint32_t>(error), SystemErrorMessage(error));
}

}  // namespace tablift
