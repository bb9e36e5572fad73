#pragma once

#include <string>

namespace tablift {

// One side's connection as the configuration dialog describes it. The source
// and catalog names are kept in lower case.
struct ConnectionProfile {
  std::string providerName;  // as shown in the dialog
  std::string progId;        // the data access provider to open
  std::string sourceName;    // data source: .mdb path, ODBC data source or connection string
  std::string catalogName;   // database
  std::string userId;
  std::string password;
};

// The fixed list that DBMS kind codes index.
inline constexpr const char* kDbmsKindNames[] = {"Text Data File", "MSSQL", "MySQL",  "Sybase",
                                                 "Access",         "Excel", "Oracle", "SybaseIQ"};
inline constexpr int kDbmsMySql = 2;
inline constexpr int kDbmsAccess = 4;

}  // namespace tablift
