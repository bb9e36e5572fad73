#pragma once

#include "engine/task_list.h"

namespace tablift {

class Workbench;

// The Backup command: saves the object selected in the target tree (a
// database, its "Tables" or "Views" folder, a table or a view) as script
// files in a folder the user chooses, by queuing one backup task and starting
// the controller. It needs an open target session and a selection; otherwise
// it explains itself and queues nothing. A file-system root chosen as the
// folder is never written into directly: "Backup.Script" inside it is used.
// The folder is made to exist, kept as the latest choice and recorded in the
// task; the process's current directory is not changed, so a migration
// running meanwhile keeps writing its cache files where it writes them.
//
// Returns the queued record, or null when nothing was queued (refused,
// cancelled, or a selection that cannot be backed up).
TaskPtr BackupCommand(Workbench& window);

// The folder a backup writes into for the folder the user chose: a root
// ("/", "C:\") gets "Backup.Script" appended; any other path stays as it is.
std::string BackupDirectoryFor(const std::string& chosen);

}  // namespace tablift
