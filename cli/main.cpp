// tablift-cli: the command-line front end over the migration engine.
#include <cstdio>
#include <string_view>

#include "tablift_version.h"

namespace {

constexpr const char* kUsage =
    "Usage: tablift-cli [--help] [--version] <command> [options]\n"
    "\n"
    "Moves a Microsoft Access database (.mdb) into a MySQL-compatible server:\n"
    "tables with their keys and indexes, rows, relationships and saved queries.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string_view first = argv[1];
  if (first == "--help" || first == "-h" || first == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (first == "--version" || first == "-V") {
    std::printf("tablift-cli %s\n", TABLIFT_VERSION);
    return 0;
  }
  std::fprintf(stderr, "tablift-cli: unknown command '%s' (see tablift-cli --help)\n", argv[1]);
  return 2;
}
