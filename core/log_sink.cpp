#include "core/log_sink.h"

namespace tablift {
namespace {

struct SeverityPrefix {
  std::string_view prefix;
  Severity severity;
};

constexpr SeverityPrefix kPrefixes[] = {
    {"E::", Severity::Error},
    {"S::", Severity::Success},
    {"T::", Severity::ProviderText},
};

}  // namespace

Severity SeverityOf(std::string_view message) {
  for (const SeverityPrefix& prefix : kPrefixes) {
    if (message.starts_with(prefix.prefix)) return prefix.severity;
  }
  return Severity::Information;
}

std::string_view WithoutSeverityPrefix(std::string_view message) {
  return SeverityOf(message) == Severity::Information ? message : message.substr(3);
}

}  // namespace tablift
