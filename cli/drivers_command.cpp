#include "cli/drivers_command.h"

#include <algorithm>
#include <cstdio>

#include "cli/command_help.h"
#include "engine/driver_check.h"

namespace tablift {
namespace {

void PrintGroup(const char* title, const std::vector<DriverReportRow>& rows) {
  std::printf("%s:\n", title);
  int nameWidth = 0;
  int stateWidth = 0;
  for (const DriverReportRow& row : rows) {
    nameWidth = std::max(nameWidth, static_cast<int>(row.name.size()));
    stateWidth = std::max(stateWidth, static_cast<int>(row.installed.size()));
  }
  for (const DriverReportRow& row : rows) {
    std::printf("  %-*s  %-*s  %s\n", nameWidth, row.name.c_str(), stateWidth,
                row.installed.c_str(), row.usability.c_str());
  }
}

}  // namespace

int RunDriversCommand(int argc, char** argv) {
  constexpr const char* kUsage =
      "Usage: tablift-cli drivers\n"
      "  lists the Access providers and MySQL ODBC drivers, installed and usable\n";
  if (AsksForHelp(argc, argv)) return ShowHelp(kUsage);
  if (argc != 0) {
    std::fputs("tablift-cli drivers: takes no arguments\n", stderr);
    return 2;
  }
  PrintGroup("Access", AccessDriverRows());
  PrintGroup("MySQL", MySqlDriverRows());
  return 0;
}

}  // namespace tablift
