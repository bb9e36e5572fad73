#pragma once

#include <string>

namespace tablift {

class Workbench;

// The versions of what the program stands on, as the About box names them:
// libmdb as the program was built with it, and the MySQL ODBC driver, read
// from the open target connection, or named from the driver configuration
// until the target is connected.
struct ProgramVersions {
  std::string libmdb;
  std::string mysqlDriver;
};

ProgramVersions ReadProgramVersions(Workbench& window);

}  // namespace tablift
