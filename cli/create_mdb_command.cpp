#include "cli/create_mdb_command.h"

#include <cstdio>

#include "access/access_database_management.h"
#include "cli/command_help.h"
#include "core/scripted_prompter.h"
#include "engine/workbench.h"

namespace tablift {

int RunCreateMdbCommand(int argc, char** argv) {
  constexpr const char* kUsage = "Usage: tablift-cli create-mdb PATH\n";
  if (AsksForHelp(argc, argv)) return ShowHelp(kUsage);
  if (argc != 1) {
    std::fputs(kUsage, stderr);
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
