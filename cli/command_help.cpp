#include "cli/command_help.h"

#include <string_view>

namespace tablift {

bool AsksForHelp(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") return true;
  }
  return false;
}

int ShowHelp(const char* usage) {
  std::fputs(usage, stdout);
  return 0;
}

}  // namespace tablift
