#include "cli/create_mdb_command.h"

#include <cstdio>

#include "Converters/scripted_prompter.h"
#include "Converters/workbench.h"
#include "source_access/access_database_management.h"

namespace tablift {

int RunCreateMdbCommand(int argc, char** argv) {
  if (argc != 1) {
    std::fputs("Usage: tablift-cli create-mdb PATH\n", stderr);
    return 2;
  }
  ScriptedPrompter prompter;
  Workbench window(prompter);
  // The source side with no database in its tree: PATH is used as given.
  window.setSideName("Source");
  const bool created = CreateAccessDatabase(window, argv[0]);
  for (const LogLine& line : window.output().lines())
    std::printf("%s\n", line.text.c_str());
  return created ? 0 : 1;
}

}  // namespace tablift
