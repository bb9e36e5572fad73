#pragma once

#include <cstdio>

namespace tablift {

// True when a command's arguments ask for its usage: "--help" or "-h" among
// them. The command then prints its usage on standard output and ends with 0,
// as programs do when help is what was asked for.
bool AsksForHelp(int argc, char** argv);

// Ends a command that was asked for help: `usage` on standard output, exit 0.
int ShowHelp(const char* usage);

}  // namespace tablift
