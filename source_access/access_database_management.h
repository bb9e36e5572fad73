#pragma once

#include <string>

namespace tablift {

class Workbench;

// Creates the Jet workgroup (system) database at WorkgroupFilePath(), making
// its missing parent folders. True when the file was created; on failure one
// timestamped step-failure line ("Database Init" or "Create SysDB") and the
// writer's reason go to the window's log.
bool CreateWorkgroupFile(Workbench& window);

// Makes sure the workgroup file exists: creates it when nothing is there and
// replaces a directory standing in its place; an existing file is left alone.
// Failures are logged by CreateWorkgroupFile.
void EnsureWorkgroupFile(Workbench& window);

// Creates a new, empty Access database named `name` in the folder of the
// current database of the source tree (when the window's side name reads
// "Source") or of the target tree; in the current directory when that tree
// has no database. Logs "Create Access MDB File [<path>]", then makes sure the
// workgroup file exists. False, after one step-failure line ("Database Init"
// or "Create DB") and the writer's reason, when the database cannot be made;
// an existing file is never touched.
bool CreateAccessDatabase(Workbench& window, std::string name);

}  // namespace tablift
