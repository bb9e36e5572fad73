#include "cli/create_mdb_command.h"

#include <cstdio>

#include "access/access_database_management.h"
#include "core/scripted_prompter.h"
#include "engine/workbench.h"

namespace tablift {

int RunCreateMdbCommand(int argc, char** argv) {
  if (argc != 1) {
    std::fputs("Usage: tablift-cli create-mdb PATH\n", stderr);
    return 2;
  }
  ScriptedPrompter prompter;
  Workbench window(prompter);
  // No folder of its own: PATH is used as given.
  const bool created = CreateAccessDatabase(window, "", argv[0]);
  for (const LogLine& line : window.output().lines())
    std::printf("%s\n", line.text.c_str());
  return created ? 0 : 1;
}

}  // namespace tablift
