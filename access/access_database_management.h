#pragma once

#include <string>
#include <string_view>

namespace tablift {

class JobContext;

// Creates the Jet workgroup (system) database at WorkgroupFilePath(), making
// its missing parent folders. True when the file was created; on failure one
// timestamped step-failure line ("Database Init" or "Create SysDB") and the
// writer's reason go to the window's log.
bool CreateWorkgroupFile(JobContext& job);

// Makes sure the workgroup file exists: creates it when nothing is there and
// replaces a directory standing in its place; an existing file is left alone.
// Failures are logged by CreateWorkgroupFile.
void EnsureWorkgroupFile(JobContext& job);

// Creates a new, empty Access database named `name` in `folder` (a name
// with a folder of its own keeps it). Logs "Create Access MDB File [<path>]", then makes sure the
// workgroup file exists. False, after one step-failure line ("Database Init"
// or "Create DB") and the writer's reason, when the database cannot be made;
// an existing file is never touched.
bool CreateAccessDatabase(JobContext& job, std::string_view folder, std::string name);

}  // namespace tablift
