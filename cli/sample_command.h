#pragma once

namespace tablift {

// "tablift-cli sample PATH [--rows N]": writes the sample database. `argc` and
// `argv` are the command's own arguments (after "sample"). Returns the exit code.
int RunSampleCommand(int argc, char** argv);

}  // namespace tablift
