#include "cli/names_option.h"

#include <string_view>

namespace tablift {

bool TakeNamesOption(int argc, char** argv, int& i, NameRule& rule, std::string& error) {
  if (std::string_view(argv[i]) != "--names") return false;
  if (i + 1 >= argc) {
    error = "--names needs a value";
    return false;
  }
  const std::optional<NameRule> parsed = ParseNameRule(argv[i + 1]);
  if (!parsed) {
    error = "--names is keep or underscore";
    return false;
  }
  rule = *parsed;
  ++i;
  return true;
}

}  // namespace tablift
