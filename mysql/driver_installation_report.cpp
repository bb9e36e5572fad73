#include "mysql/driver_installation_report.h"

#include "mysql/mysql_odbc_drivers.h"
#include "mysql/odbc_library_files.h"

namespace tablift {

std::string CheckDriverInstallation() {
  return DescribeDriverInstallation(LoadedDriverManagerLibrary().has_value(),
                                    ReadRegisteredOdbcDrivers());
}

std::string DescribeDriverInstallation(bool providerUsable,
                                       const std::vector<RegisteredOdbcDriver>& drivers) {
  std::string report = "Microsoft OLE DB Provider for ODBC Drivers|";
  report += "Installed|";
  if (!providerUsable) return report + "Unusable|";
  report += "Usable|";

  bool anyMySqlDriver = false;
  for (const RegisteredOdbcDriver& driver : drivers) {
    if (!IsMySqlOdbcDriver(driver)) continue;
    anyMySqlDriver = true;
    report += DescribeOdbcDriver(driver);
  }
  if (!anyMySqlDriver) report += "MySQL ODBC Driver|Not installed|Unusable|";
  return report;
}

std::string DescribeOdbcDriver(const RegisteredOdbcDriver& driver) {
  std::string fields = driver.name + "|";
  fields += driver.readable ? "Installed|" : "Not Installed|";
  fields += IsUsableOdbcDriver(driver) ? "Usable|" : "Unusable|";
  return fields;
}

}  // namespace tablift
