#pragma once

#include <cstdint>
#include <functional>

#include "engine/migration_task.h"
#include "engine/task_list.h"

namespace tablift {

class Workbench;

// What a runner gets for the record it runs: its own copies of the record's
// names, the start time, and the record to write progress into.
struct ControllerContext {
  std::int32_t startTime = 0;
  MigrationTask::Names names;
  TaskPtr task;

  void setProgress(std::int32_t percent) const {
    if (task) task->setProgress(percent);
  }
};

// Runs one record on the controller thread; its result becomes the record's
// outcome.
using TaskRunner = std::function<bool(Workbench& window, const ControllerContext& context)>;
// The runner of a task type; an empty runner leaves records of that type
// waiting.
using TaskRunnerLookup = std::function<TaskRunner(TaskType type)>;

// Images of the task list's Start/Stop button.
enum StartStopImage : int {
  kStartRequestedImage = 0,
  kRunningImage = 3,
  kFinishedImage = 4,
  kStopRequestedImage = 5,
};

// Starts the controller thread unless one runs, and asks the task list view
// to refresh at once. Called after a task is queued.
void StartController(Workbench& window);
// Waits until no controller runs, optionally empties the task list, and
// starts a new controller.
void RestartController(Workbench& window, bool clearList);
// Asks the running controller to end after its current sweep, because no
// record waits any more (CompleteTask calls it). A task queued before the
// thread has ended takes the stop back; a stop the user asked for (the
// controller commands) is not taken back.
void RequestStop(Workbench& window);

}  // namespace tablift
