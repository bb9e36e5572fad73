#pragma once

namespace tablift {

// "tablift-cli create-mdb PATH": creates an empty Access database at PATH
// (relative to the current directory, or absolute) and prints the log lines
// to standard output. 0 when the database was created, 1 when not, 2 for a
// wrong call. Takes the arguments after the command name.
int RunCreateMdbCommand(int argc, char** argv);

}  // namespace tablift
