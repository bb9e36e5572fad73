#include "engine/complete_task.h"

#include <mutex>

#include "core/write_line.h"
#include "engine/main_controller.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

void AnnounceOutcome(Workbench& window, bool succeeded) {
  WriteLine(window, "%s", succeeded ? "Operation completed SUCCESSFULLY!" : "Operation FAILURE!");
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
      tasks.finish(record, succeeded);
      AnnounceOutcome(window, succeeded);
    } else {
      anyWaiting = true;
    }
  }
  if (!anyWaiting) RequestStop(window);
}

void CompleteTask(Workbench& window, const TaskPtr& task, bool succeeded) {
  TaskList& tasks = window.tasks();
  std::lock_guard guard(tasks.lock());
  const bool unfinished = task && task->state() == kTaskWaiting;
  const bool anyWaiting = tasks.finish(task, succeeded);
  if (unfinished) AnnounceOutcome(window, succeeded);
  if (!anyWaiting) RequestStop(window);
}

}  // namespace tablift
