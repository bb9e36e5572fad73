#pragma once

namespace tablift {

// "tablift-cli drivers": prints which providers and drivers each side has and
// whether they can be used, as the desktop program's driver check shows them:
// one row per component with its name, installation state and usability.
// Returns the exit code.
int RunDriversCommand(int argc, char** argv);

}  // namespace tablift
