#pragma once

#include "engine/requests.h"
#include "engine/task_list.h"

namespace tablift {

class Workbench;

// Queues one backup task for `request` (the object as script files in the
// request's folder) and starts the controller. It needs an open target
// session; otherwise it explains itself and queues nothing. A file-system root
// chosen as the folder is never written into directly: "Backup.Script" inside
// it is used. The folder is made to exist, kept as the latest choice and
// recorded in the task. Returns the queued record, or null.
TaskPtr QueueBackup(Workbench& window, const BackupRequest& request);

// The window's Backup command: the request for the object selected in the
// target tree (a database, its "Tables" or "Views" folder, a table or a view)
// and a folder the user chooses. Without a selection it explains itself;
// cancelled, or for a node that cannot be backed up, it queues nothing.
TaskPtr BackupCommand(Workbench& window);

// The folder a backup writes into for the folder the user chose: a root
// ("/", "C:\") gets "Backup.Script" appended; any other path stays as it is.
std::string BackupDirectoryFor(const std::string& chosen);

}  // namespace tablift
