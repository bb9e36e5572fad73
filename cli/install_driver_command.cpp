#include "cli/install_driver_command.h"

#include <cstdio>
#include <filesystem>

#include "cli/command_help.h"
#include "engine/driver_installer.h"

namespace tablift {

int RunInstallDriverCommand(int argc, char** argv) {
  constexpr const char* kUsage =
      "Usage: tablift-cli install-driver FOLDER\n"
      "  copies the MySQL ODBC driver shipped with the program into FOLDER (made when\n"
      "  missing) and registers it with the ODBC driver manager\n";
  if (AsksForHelp(argc, argv)) return ShowHelp(kUsage);
  if (argc != 1) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(argv[0], error);
  const DriverInstallResult result = InstallShippedMySqlDriver(error ? argv[0] : folder);
  std::fprintf(result.installed ? stdout : stderr, "%s\n", result.message.c_str());
  return result.installed ? 0 : 1;
}

}  // namespace tablift
