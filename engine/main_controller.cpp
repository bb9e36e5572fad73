#include "engine/main_controller.h"

#include <chrono>
#include <exception>
#include <thread>
#include <vector>

#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "engine/complete_task.h"
#include "engine/run_report.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kSweepPause{3000};

// A runner that throws has failed; the exception must not end the thread.
bool RunGuarded(Workbench& window, const TaskRunner& runner, const ControllerContext& context) {
  try {
    return runner(window, context);
  } catch (const std::exception& error) {
    WriteLine(window, "E::%s", error.what());
  } catch (...) {
    WriteLine(window, "E::%s", "Unknown Error!");
  }
  return false;
}

// One pass over the list under the task-list lock. A record appended or
// moved behind the current one during the pass still runs in it.
void Sweep(Workbench& window) {
  TaskList& tasks = window.tasks();
  std::lock_guard lock(tasks.lock());
  std::vector<const MigrationTask*> visited;
  while (TaskPtr task = tasks.nextWaiting(visited)) {
    // The user's stop holds for the tasks behind too: they keep waiting for
    // the next start instead of making anything now.
    if (window.stopRequested() && !window.automaticStop().load()) break;
    visited.push_back(task.get());
    const TaskRunner runner = window.taskRunner(task->type());
    if (!runner) continue;
    ControllerContext context;
    context.startTime = CurrentTaskTime();
    context.names = task->names();
    context.task = task;
    task->markStarted(context.startTime);
    tasks.refreshClock().requestRefresh();
    window.setRunningTask(task);
    const bool succeeded = RunGuarded(window, runner, context);
    window.setRunningTask(nullptr);
    // A task that did not end whole while the user's stop was in force was
    // cut short by it. The controller's own stop comes only after the last
    // task has ended.
    const bool stopped = !succeeded && window.stopRequested();
    CompleteTask(window, task,
                 succeeded ? TaskOutcome::Succeeded
                           : (stopped ? TaskOutcome::Stopped : TaskOutcome::Failed));
    tasks.refreshClock().requestRefresh();
  }
}

void ControllerProcedure(Workbench& window) {
  if (window.controllerThread().pause(milliseconds(50))) return;
  // A run's summary holds only what this run does.
  window.runRecorder()->clear(SecondsSinceEpoch());
  window.setStartStopToolTip("Stop tasks");
  window.setStatusText("Some Tasks are WORKING!!!");
  bool ended = false;
  while (!ended) {
    Sweep(window);
    if (window.controllerThread().pause(kSweepPause)) break;
    // A task queued after the last one finished may have taken the stop
    // back (StartController); then the thread sweeps on.
    RunState stopping = RunState::StopRequested;
    ended = window.runState().compare_exchange_strong(stopping, RunState::Idle);
  }
  // A new thread is only created after this one has been collected, so these
  // texts cannot overwrite a successor's.
  window.setStartStopToolTip("Start tasks");
  window.setStatusText("NO PROCESSING!!!");
  window.runState().store(RunState::Idle);
  window.tellRunEnded();
}

// Creates the thread; the run flag says "running" from before the thread can
// look at it.
void CreateControllerThread(Workbench& window) {
  window.runState().store(RunState::Running);
  const int error = window.controllerThread().start([&window] { ControllerProcedure(window); });
  if (error != 0) {
    window.runState().store(RunState::Idle);
    WritePlainLine(window, DescribeSystemError("Main Controller Error!", error));
    return;
  }
  std::this_thread::sleep_for(milliseconds(100));
}

}  // namespace

void StartController(Workbench& window) {
  RunState flag = window.runState().load();
  // The controller stops by itself once nothing waits, but it lingers for its
  // last pause; a task queued then takes the stop back and runs, instead of
  // waiting until the user presses Start. A stop the user asked for stands.
  if (flag == RunState::StopRequested && window.automaticStop().load() &&
      window.runState().compare_exchange_strong(flag, RunState::Running)) {
    window.setStartStopImage(kRunningImage);
  }
  if (window.runState().load() == RunState::Idle) {
    // Shown before the thread starts: a short task may finish, and the
    // button shows "finished", before the start-up pause is over.
    window.setStartStopImage(kRunningImage);
    CreateControllerThread(window);
  }
  window.tasks().refreshClock().requestRefresh();
}

void RestartController(Workbench& window, bool clearList) {
  while (window.runState().load() != RunState::Idle)
    std::this_thread::sleep_for(milliseconds(1000));
  if (clearList) window.tasks().clear();
  CreateControllerThread(window);
}

void RequestStop(Workbench& window) {
  window.automaticStop().store(true);
  window.runState().store(RunState::StopRequested);
  window.setStartStopImage(kFinishedImage);
}

}  // namespace tablift
