#pragma once

#include <string>
#include <vector>

#include "mysql/registered_odbc_drivers.h"

namespace tablift {

// The target side's installation report for the driver check dialog: fields
// that each end in "|", three per component (name, installation state,
// usability). First our OLE DB provider for ODBC, which is built in and usable
// when the unixODBC driver manager it stands on is loaded from an existing
// file; then every registered MySQL ODBC driver in configuration order, or
// "MySQL ODBC Driver|Not installed|Unusable|" when there is none.
std::string CheckDriverInstallation();

// The same report for given facts. A driver listed in the configuration whose
// section cannot be read is reported "Not Installed" and "Unusable", so that
// the dialog still finds three fields per component. An unusable provider ends
// the report after its own three fields.
std::string DescribeDriverInstallation(bool providerUsable,
                                       const std::vector<RegisteredOdbcDriver>& drivers);

// The three fields of one registered ODBC driver: its name, "Installed" (or
// "Not Installed" when its section cannot be read) and "Usable" when its
// libraries are there (IsUsableOdbcDriver), else "Unusable".
std::string DescribeOdbcDriver(const RegisteredOdbcDriver& driver);

}  // namespace tablift
