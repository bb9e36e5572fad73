#pragma once

namespace tablift {

// "tablift-cli install-driver FOLDER": installs the MySQL ODBC driver shipped
// beside the program into FOLDER and registers it with the driver manager.
// Returns the exit code.
int RunInstallDriverCommand(int argc, char** argv);

}  // namespace tablift
