#pragma once

#include <string>

#include "mysql/registered_odbc_drivers.h"

namespace tablift {

// A driver that reaches MySQL-protocol servers: MySQL's Connector/ODBC (its
// names carry "MySQL ODBC") or MariaDB's, which distributions register under
// names of their own ("MariaDB Unicode" on Debian) but whose library is
// libmaodbc.
bool IsMySqlOdbcDriver(const RegisteredOdbcDriver& driver);

// The driver's library exists; so does its configuration library when it
// declares one. (Drivers on this platform need no configuration library, so
// one that is not declared does not count against the driver.)
bool IsUsableOdbcDriver(const RegisteredOdbcDriver& driver);

// The name of the n-th registered MySQL ODBC driver (counting from 1, in the
// configuration's order) when that driver is usable, else "".
std::string FindMySqlOdbcDriver(int n);

}  // namespace tablift
