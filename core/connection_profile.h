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

// The database systems the two sides speak, by the codes the trees keep.
inline constexpr int kDbmsMySql = 2;
inline constexpr int kDbmsAccess = 4;
inline constexpr const char kDbmsMySqlName[] = "MySQL";
inline constexpr const char kDbmsAccessName[] = "Access";

}  // namespace tablift
