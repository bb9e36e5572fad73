#pragma once

#include <string>
#include <vector>

#include "engine/task_list.h"

namespace tablift {

class Workbench;

// Access files chosen or dropped in the window: one clone task for each,
// into a new database named after the file, after the user agreed once for
// all of them. Each task opens its own file when it runs (a task names its
// source database by the file's path), so the source side is first set to
// read Access files when it was set to another provider.
//
// Nothing is queued, after saying why, when the target side has no session,
// when a path is no .mdb or .accdb file, or when two files would clone into
// one database. Returns the queued records, in the files' order.
std::vector<TaskPtr> QueueFileClones(Workbench& window, const std::vector<std::string>& files);

}  // namespace tablift
