#include "engine/complete_task.h"

#include <mutex>

#include "core/write_line.h"
#include "engine/main_controller.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

void AnnounceOutcome(Workbench& window, TaskOutcome outcome) {
  switch (outcome) {
    case TaskOutcome::Succeeded:
      WriteLine(window, "%s", "Operation completed SUCCESSFULLY!");
      return;
    case TaskOutcome::Failed:
      WriteLine(window, "%s", "Operation FAILURE!");
      return;
    case TaskOutcome::Stopped:
      WriteLine(window, "%s", "Operation Stopped!");
      return;
  }
}

TaskOutcome OutcomeOf(bool succeeded) {
  return succeeded ? TaskOutcome::Succeeded : TaskOutcome::Failed;
}

}  // namespace

void CompleteTask(Workbench& window, std::int32_t startTime, bool succeeded) {
  TaskList& tasks = window.tasks();
  std::lock_guard guard(tasks.lock());
  const std::vector<TaskPtr> records = tasks.snapshot();
  bool anyWaiting = false;
  for (const TaskPtr& record : records) {
    if (record->state() != kTaskWaiting) continue;
    if (record->time() == startTime) {
      tasks.finish(record, OutcomeOf(succeeded));
      AnnounceOutcome(window, OutcomeOf(succeeded));
    } else {
      anyWaiting = true;
    }
  }
  if (!anyWaiting) RequestStop(window);
}

void CompleteTask(Workbench& window, const TaskPtr& task, bool succeeded) {
  CompleteTask(window, task, OutcomeOf(succeeded));
}

void CompleteTask(Workbench& window, const TaskPtr& task, TaskOutcome outcome) {
  TaskList& tasks = window.tasks();
  std::lock_guard guard(tasks.lock());
  const bool unfinished = task && task->state() == kTaskWaiting;
  const bool anyWaiting = tasks.finish(task, outcome);
  if (unfinished) AnnounceOutcome(window, outcome);
  if (!anyWaiting) RequestStop(window);
}

}  // namespace tablift
