#include "engine/odbc_data_sources.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cctype>

#include "data_access/ascii_text.h"
#include "engine/provider_check.h"
#include "mysql/mysql_odbc_drivers.h"
#include "mysql/registered_odbc_drivers.h"

namespace tablift {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool ReachesDbms(std::string_view dbmsName, const std::string& driverName,
                 const std::vector<RegisteredOdbcDriver>& drivers) {
  const bool mysql = EqualsIgnoreCase(dbmsName, "mysql");
  const bool access = EqualsIgnoreCase(dbmsName, "access");
  if (!mysql && !access) return false;
  if (mysql && StartsWith(driverName, "MySQL ODBC")) return true;
  if (access && (StartsWith(driverName, "Driver do Microsoft Access") ||
                 StartsWith(driverName, "Microsoft Access Driver")))
    return true;
  // A driver registered under a name of its own counts by what it is.
  for (const RegisteredOdbcDriver& driver : drivers) {
    if (driver.name != driverName) continue;
    return mysql ? IsMySqlOdbcDriver(driver) : IsAccessOdbcDriver(driver);
  }
  return false;
}

}  // namespace

std::vector<OdbcDataSource> ListAllOdbcDataSources() {
  std::vector<OdbcDataSource> sources;
  SQLHENV environment = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) return sources;
  SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
  SQLCHAR driver[1024];
  SQLSMALLINT nameLength = 0;
  SQLSMALLINT driverLength = 0;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  while (SQL_SUCCEEDED(SQLDataSources(environment, direction, name, sizeof name, &nameLength,
                                      driver, sizeof driver, &driverLength))) {
    sources.push_back({reinterpret_cast<const char*>(name), reinterpret_cast<const char*>(driver)});
    direction = SQL_FETCH_NEXT;
  }
  SQLFreeHandle(SQL_HANDLE_ENV, environment);
  return sources;
}

std::vector<std::string> ListOdbcDataSources(std::string_view dbmsName) {
  const std::vector<RegisteredOdbcDriver> drivers = ReadRegisteredOdbcDrivers();
  std::vector<std::string> names;
  for (const OdbcDataSource& source : ListAllOdbcDataSources()) {
    if (ReachesDbms(dbmsName, source.driver, drivers)) names.push_back(source.name);
  }
  // Sorted as the lists show them: without regard to case.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) <
             std::tolower(static_cast<unsigned char>(y));
    });
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace tablift
