#pragma once

namespace tablift {

// tablift-cli verify: compares every table a migration moves with the MySQL
// table of its name, value for value, then every saved query that became a
// view or a procedure with what the project's own Access SQL executor gives
// for it on the source file (procedures of parameter queries only when
// called with --call arguments; those of action queries never, since calling
// them changes data). One line per table and per query, and totals. Exit
// code 0 only when every table and every compared query matches.
int RunVerifyCommand(int argc, char** argv);

}  // namespace tablift
