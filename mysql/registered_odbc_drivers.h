#pragma once

#include <string>
#include <vector>

namespace tablift {

// One driver of unixODBC's driver configuration (odbcinst.ini), with the
// values that tell which libraries it needs.
struct RegisteredOdbcDriver {
  std::string name;
  // False when the driver is listed but its section could not be read; the
  // library values are then empty.
  bool readable = true;
  // The library the driver manager loads: "Driver64" when set (64-bit
  // builds), else "Driver"; as written, before any expansion.
  std::string driverLibrary;
  // The configuration library, chosen the same way from "Setup64" and
  // "Setup"; empty when the driver declares none.
  std::string setupLibrary;
};

// The drivers that the driver manager knows, in the order its configuration
// lists them: the system odbcinst.ini (in $ODBCSYSINI, or /etc) followed by the
// user's ~/.odbcinst.ini, as libodbcinst reads them. Empty when the
// configuration cannot be read.
//
// libodbcinst fixes the directory of the system file the first time it is
// asked, for the rest of the process, and keeps single values for up to 20
// seconds; a changed ODBCSYSINI needs a new process.
std::vector<RegisteredOdbcDriver> ReadRegisteredOdbcDrivers();

}  // namespace tablift
