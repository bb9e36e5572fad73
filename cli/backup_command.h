#pragma once

namespace tablift {

// tablift-cli backup: saves a MySQL database, its tables or views, or one
// table or view as script files in a folder, as the Backup command does.
// Returns the process exit code.
int RunBackupCommand(int argc, char** argv);

}  // namespace tablift
