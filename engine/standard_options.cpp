#include "engine/standard_options.h"

#include <cstdio>

#include "tablift_version.h"

namespace tablift {

std::string ProgramHelp(std::string_view usageLine) {
  std::string help(usageLine);
  help +=
      "\n\n"
      "Moves a Microsoft Access database (.mdb: Jet 3, Jet 4; .accdb: ACE 12 to ACE 17,\n"
      "encrypted ones with their password) into a MySQL-compatible server:\n"
      "tables with their keys and indexes, rows, relationships and saved queries.\n"
      "\n"
      "Options:\n"
      "  -h, --help     show this help and exit\n"
      "  -V, --version  show the version and exit\n";
  return help;
}

bool AnswerStandardOption(std::string_view argument, std::string_view program,
                          std::string_view usageLine) {
  if (argument == "--help" || argument == "-h") {
    std::fputs(ProgramHelp(usageLine).c_str(), stdout);
    return true;
  }
  if (argument == "--version" || argument == "-V") {
    std::printf("%.*s %s\n", static_cast<int>(program.size()), program.data(), TABLIFT_VERSION);
    return true;
  }
  return false;
}

}  // namespace tablift
