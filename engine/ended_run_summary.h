#pragma once

#include "migration/run_summary.h"

namespace tablift {

class Workbench;

// The summary of the run of the task list that has just ended, as the window
// shows it: what the run recorder holds, finished now, with the source file
// and the target server and databases the run's migrations went into.
RunSummary EndedRunSummary(Workbench& window);

}  // namespace tablift
