#include "core/environment_references.h"

#include <cstdlib>

namespace tablift {
namespace {

std::string EnvironmentValue(const std::string& name) {
  if (const char* value = std::getenv(name.c_str())) return value;
  // The profile folder of a Windows path is the home directory here.
  if (name == "USERPROFILE") {
    if (const char* home = std::getenv("HOME")) return home;
  }
  return {};
}

}  // namespace

std::string ExpandEnvironmentReferences(std::string_view text) {
  std::string result(text);
  std::size_t scan = 0;
  while (true) {
    const std::size_t open = result.find('%', scan);
    if (open == std::string::npos) break;
    const std::size_t close = result.find('%', open + 1);
    if (close == std::string::npos) break;

    const std::string reference = result.substr(open, close - open + 1);
    const std::string value = EnvironmentValue(reference.substr(1, reference.size() - 2));
    // Replaces from the first reference on; what lies before it holds no
    // reference any more, and values are never scanned again.
    for (std::size_t at = open; (at = result.find(reference, at)) != std::string::npos;
         at += value.size()) {
      result.replace(at, reference.size(), value);
    }
    scan = open + value.size();
  }
  return result;
}

}  // namespace tablift
