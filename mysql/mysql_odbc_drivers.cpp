#include "mysql/mysql_odbc_drivers.h"

#include <string_view>
#include <vector>

#include "data_access/ascii_text.h"
#include "mysql/odbc_library_files.h"

namespace tablift {
namespace {

// The file name of a library value, whichever separator its path uses.
std::string_view LibraryFileName(std::string_view library) {
  const std::size_t separator = library.find_last_of("/\\");
  return separator == std::string_view::npos ? library : library.substr(separator + 1);
}

bool IsConnectorLibrary(std::string_view library) {
  const std::string name = ToLowerAscii(LibraryFileName(library));
  for (std::string_view prefix : {"libmaodbc", "maodbc", "libmyodbc", "myodbc"}) {
    if (name.starts_with(prefix)) return true;
  }
  return false;
}

}  // namespace

bool IsMySqlOdbcDriver(const RegisteredOdbcDriver& driver) {
  return driver.name.find("MySQL ODBC") != std::string::npos ||
         ToLowerAscii(driver.name).find("mariadb") != std::string::npos ||
         IsConnectorLibrary(driver.driverLibrary);
}

bool IsUsableOdbcDriver(const RegisteredOdbcDriver& driver) {
  if (!driver.readable || !ResolveOdbcLibrary(driver.driverLibrary)) return false;
  return driver.setupLibrary.empty() || ResolveOdbcLibrary(driver.setupLibrary).has_value();
}

std::string FindMySqlOdbcDriver(int n) {
  int number = 0;
  for (const RegisteredOdbcDriver& driver : ReadRegisteredOdbcDrivers()) {
    if (!IsMySqlOdbcDriver(driver)) continue;
    if (++number == n) return IsUsableOdbcDriver(driver) ? driver.name : std::string();
  }
  return {};
}

}  // namespace tablift
