#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/migration_task.h"

namespace tablift {

using TaskPtr = std::shared_ptr<MigrationTask>;

// Decides on each tick of the main window's one-second timer whether the task
// list view is rebuilt: every fifth tick while the "Task List" tab is shown,
// and at the next tick after a refresh request.
class TaskListRefreshClock {
 public:
  void requestRefresh() { counter_.store(5); }
  // True when the view is to be rebuilt now.
  bool tick(bool taskListShown);

 private:
  std::atomic<int> counter_{0};
};

// The queue of migration and backup records, in the order they run.
//
// Two locks guard it. The task-list lock (lock()) is the recursive lock the
// controller holds for a whole sweep, running each task inside it, and that
// the outcome of a task is written under; it may be held for minutes. The
// sequence itself is guarded by a short internal lock only, so that the
// user-interface thread can append, move, delete and clear records during a
// sweep without waiting for it.
//
// Records are shared: the controller keeps its own reference to the record it
// runs. Deleting or clearing a running record takes it out of the list (its row
// disappears) but does not stop the work or free the record under its runner;
// the record is freed when the runner lets it go, and its outcome is then not
// shown anywhere. Stopping work is the Start/Stop button's job.
class TaskList {
 public:
  std::recursive_mutex& lock() { return sweepLock_; }

  void append(TaskPtr task);
  // Item commands with the index the list control reports; a negative or out of
  // range index leaves the records untouched. Moving the first record up or the
  // last down does nothing. Each returns whether the records changed.
  bool moveUp(int index);
  bool moveDown(int index);
  bool remove(int index);
  void clear();

  std::vector<TaskPtr> snapshot() const;
  std::size_t size() const;
  bool empty() const { return size() == 0; }
  bool anyWaiting() const;

  // The first waiting record, in list order, that is not among `visited`; null
  // when there is none. The controller calls it after every task, so a record
  // appended or moved during a sweep is still found in that sweep, and a record
  // without a runner (which stays waiting) is passed over once it was visited.
  TaskPtr nextWaiting(const std::vector<const MigrationTask*>& visited) const;

  // Writes the outcome of the record the runner was given into it, unless it
  // already carries one. Returns whether any record in the list still waits.
  bool finish(const TaskPtr& task, TaskOutcome outcome);

  TaskListRefreshClock& refreshClock() { return refresh_; }
  // Called after every change of the list (from the thread that made it);
  // the view uses it to rebuild at once instead of at its next turn.
  void setChangeNotifier(std::function<void()> notifier);

 private:
  void changed();

  std::recursive_mutex sweepLock_;
  mutable std::mutex mutex_;
  std::vector<TaskPtr> tasks_;
  TaskListRefreshClock refresh_;
  std::mutex notifierMutex_;
  std::function<void()> notifier_;
};

}  // namespace tablift
