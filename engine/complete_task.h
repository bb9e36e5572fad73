#pragma once

#include <cstdint>

#include "engine/task_list.h"

namespace tablift {

class Workbench;

// Writes a finished task's outcome into the unfinished records that started
// in the second `startTime` ("SUCCESS"/"FAILURE", with "Operation completed
// SUCCESSFULLY!" or "Operation FAILURE!"), under the task-list lock, and asks
// the controller to stop when no record waits any more.
void CompleteTask(Workbench& window, std::int32_t startTime, bool succeeded);

// The same for the one record the runner was given. Two records can start in
// the same second, and matching by time would then give the first record's
// outcome to both; the controller uses this form.
void CompleteTask(Workbench& window, const TaskPtr& task, bool succeeded);
// The same with the outcome itself: a stopped task shows "Stopped" and the
// log says "Operation Stopped!".
void CompleteTask(Workbench& window, const TaskPtr& task, TaskOutcome outcome);

}  // namespace tablift
