#include "engine/driver_installer.h"

#include <odbcinst.h>

#include <system_error>

#include "data_access/working_directories.h"

namespace tablift {
namespace {

// libodbcinst's logical name for the system driver configuration.
constexpr const char* kDriverConfiguration = "ODBCINST.INI";

DriverInstallResult Failure(std::string message) {
  return {false, std::move(message)};
}

bool WriteValue(const char* key, const std::string& value) {
  return SQLWritePrivateProfileString(kShippedDriverName, key, value.c_str(),
                                      kDriverConfiguration) != 0;
}

// Copies a shipped file into the folder unless one of that name is there.
bool PlaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  if (std::filesystem::exists(to, error)) return true;
  return std::filesystem::copy_file(from, to, error);
}

}  // namespace

namespace {

// Where the driver is shipped: beside the program in a build tree or a
// portable copy; in an installation, whose program directory is the user's
// own, in lib/tablift beside the bin folder of the running program.
std::filesystem::path ShippedDriverFolder() {
  const std::filesystem::path beside = ProgramDirectory() / kShippedDriverFolder;
  std::error_code error;
  if (std::filesystem::is_directory(beside, error)) return beside;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return beside;
  const std::filesystem::path installed =
      program.parent_path().parent_path() / "lib" / "tablift" / kShippedDriverFolder;
  return std::filesystem::is_directory(installed, error) ? installed : beside;
}

}  // namespace

DriverInstallResult InstallShippedMySqlDriver(const std::filesystem::path& folder) {
  const std::filesystem::path shipped = ShippedDriverFolder();
  const std::filesystem::path driver = shipped / kShippedDriverLibrary;
  const std::filesystem::path setup = shipped / kShippedSetupLibrary;
  std::error_code error;
  // Nothing to install is not an installation.
  if (!std::filesystem::is_regular_file(driver, error))
    return Failure("The MySQL ODBC 3.51 Driver is not shipped with this program (" +
                   driver.string() + " is missing)!");
  const bool withSetup = std::filesystem::is_regular_file(setup, error);

  // A folder that is not there yet is made with its parents, as "install -d"
  // makes one, so that a fresh location can be named directly.
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error))
    return Failure("Cannot create the folder " + folder.string() + ": " +
                   (error ? error.message() : std::string("a file of that name is there")) + "!");

  const std::filesystem::path installedDriver = folder / kShippedDriverLibrary;
  const std::filesystem::path installedSetup = folder / kShippedSetupLibrary;
  if (!PlaceFile(driver, installedDriver) || (withSetup && !PlaceFile(setup, installedSetup)))
    return Failure("Cannot copy the driver files into " + folder.string() + "!");

  if (!WriteValue("Driver", installedDriver.string())) return Failure("Registering, Driver Error!");
  if (withSetup && !WriteValue("Setup", installedSetup.string()))
    return Failure("Registering, Setup Error!");
  if (!WriteValue("UsageCount", "2")) return Failure("Registering, UsageCount Error!");
  // The list of installed drivers that Windows-style configurations keep.
  if (SQLWritePrivateProfileString("ODBC Drivers", kShippedDriverName, "Installed",
                                   kDriverConfiguration) == 0)
    return Failure("Registering, Installed Error!");
  return {true, "MySQL ODBC 3.51 Driver installed successfully!"};
}

}  // namespace tablift
