#pragma once

namespace tablift {

// tablift-cli migrate: queues the migration the desktop program's Migrate
// command would queue for the chosen objects, runs it with the same
// controller and prints the log. Exit code 0 only when every task ended
// "SUCCESS".
int RunMigrateCommand(int argc, char** argv);

}  // namespace tablift
