#pragma once

#include <filesystem>
#include <string>

namespace tablift {

// The driver name the installer registers.
inline constexpr char kShippedDriverName[] = "MySQL ODBC 3.51 Driver";
// Where the driver files are shipped, in the program's directory, and their
// names: the driver library, and the optional configuration library.
inline constexpr char kShippedDriverFolder[] = "MyODBC3.51";
inline constexpr char kShippedDriverLibrary[] = "libmyodbc3.so";
inline constexpr char kShippedSetupLibrary[] = "libmyodbc3S.so";

struct DriverInstallResult {
  bool installed = false;
  std::string message;  // what to tell the user, success or failure
};

// Installs the MySQL ODBC driver shipped beside the program (or, installed,
// in lib/tablift/MyODBC3.51 beside its bin folder) into `folder`:
// makes the folder with its parents when it is missing, copies its files there
// (a file already there is kept) and registers
// "MySQL ODBC 3.51 Driver" in the driver manager's system configuration
// (odbcinst.ini in $ODBCSYSINI, or /etc) with "Driver", "Setup" (when the
// configuration library is shipped) and "UsageCount" = 2, in this order, and
// lists it as "Installed" in the section "ODBC Drivers".
// A missing shipped driver, a file that cannot be copied or a value that
// cannot be written ends the installation with its message; values written
// before stay.
DriverInstallResult InstallShippedMySqlDriver(const std::filesystem::path& folder);

}  // namespace tablift
