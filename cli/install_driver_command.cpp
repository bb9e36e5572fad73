#include "cli/install_driver_command.h"

#include <cstdio>
#include <filesystem>

#include "engine/driver_installer.h"

namespace tablift {

int RunInstallDriverCommand(int argc, char** argv) {
  if (argc != 1) {
    std::fputs("Usage: tablift-cli install-driver FOLDER\n", stderr);
    return 2;
  }
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(argv[0], error);
  const DriverInstallResult result = InstallShippedMySqlDriver(error ? argv[0] : folder);
  std::fprintf(result.installed ? stdout : stderr, "%s\n", result.message.c_str());
  return result.installed ? 0 : 1;
}

}  // namespace tablift
