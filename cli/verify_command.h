#pragma once

namespace tablift {

// tablift-cli verify: compares every table a migration moves (Access tables
// whose names hold no blank) with the MySQL table of the same name, value for
// value, and prints one line per table and a total. Exit code 0 only when
// every table matches.
int RunVerifyCommand(int argc, char** argv);

}  // namespace tablift
