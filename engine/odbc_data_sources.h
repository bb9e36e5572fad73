#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tablift {

// One ODBC data source of the driver manager (system and user odbc.ini).
struct OdbcDataSource {
  std::string name;
  std::string driver;  // the driver's name, as the data source's entry gives it
};

// Every data source the driver manager lists, user and system ones alike.
std::vector<OdbcDataSource> ListAllOdbcDataSources();

// The names of the data sources that reach a DBMS ("mysql" or "access",
// compared without regard to case), sorted: those whose driver is a MySQL
// (or MariaDB) ODBC driver, or an Access ODBC driver (the mdbtools one
// included). Other DBMS names list nothing. Sorted without regard to case.
std::vector<std::string> ListOdbcDataSources(std::string_view dbmsName);

}  // namespace tablift
