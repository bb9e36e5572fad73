#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mysql/registered_odbc_drivers.h"

namespace tablift {

// The Access side's installation report for the driver check dialog: fields
// that each end in "|", three per component (name, installation state,
// usability). First the Jet provider, then the OLE DB provider for ODBC (an
// unusable one ends the report), then every registered Access ODBC driver in
// configuration order, or "Microsoft Access Driver|Not installed|Unusable|"
// when there is none.
//
// Here the two providers are built into the program. A provider counts as
// installed when it is registered, and as usable when the library it stands
// on is loaded from an existing file: libmdb for the Jet provider, the
// unixODBC driver manager for the ODBC provider.
std::string CheckProviders();

// The facts the report is made of.
struct ProviderFacts {
  bool jetInstalled = false;
  bool jetUsable = false;
  bool odbcInstalled = false;
  bool odbcUsable = false;
  std::vector<RegisteredOdbcDriver> drivers;  // all registered drivers
};

std::string DescribeProviders(const ProviderFacts& facts);

// A driver that opens Access files: its name contains "Access" (compared with
// case, as the registered names spell it) or its library is the mdbtools ODBC
// driver (libmdbodbc*).
bool IsAccessOdbcDriver(const RegisteredOdbcDriver& driver);

// The file of the libmdb library loaded into this process; empty when it
// cannot be told or no longer exists.
std::optional<std::string> LoadedJetLibrary();

}  // namespace tablift
