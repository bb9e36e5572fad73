#pragma once

namespace tablift {

// "tablift-cli condition SOURCE.mdb TABLE [CONDITION]": the migration
// condition of one table of an Access file, kept where the desktop program
// keeps it (the condition file in the program's directory). Without
// CONDITION it shows the saved condition and tests it; with CONDITION it
// tests that one and saves it when the test succeeds (an empty CONDITION
// clears it: the whole table is copied). Migrations read what is saved.
// Returns the exit code: 0 when the test succeeded (and the condition was
// saved when one was given), 1 otherwise, 2 for wrong arguments.
int RunConditionCommand(int argc, char** argv);

}  // namespace tablift
