#include "engine/task_list.h"

#include <algorithm>
#include <utility>

namespace tablift {

bool TaskListRefreshClock::tick(bool taskListShown) {
  if (!taskListShown) return false;
  int counter = counter_.load();
  if (counter <= 3) {
    counter_.compare_exchange_strong(counter, counter + 1);
    return false;
  }
  counter_.store(0);
  return true;
}

void TaskList::append(TaskPtr task) {
  {
    std::lock_guard guard(mutex_);
    tasks_.push_back(std::move(task));
  }
  changed();
}

bool TaskList::moveUp(int index) {
  {
    std::lock_guard guard(mutex_);
    if (index <= 0 || static_cast<std::size_t>(index) >= tasks_.size()) return false;
    std::swap(tasks_[index], tasks_[index - 1]);
  }
  changed();
  return true;
}

bool TaskList::moveDown(int index) {
  {
    std::lock_guard guard(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) + 1 >= tasks_.size()) return false;
    std::swap(tasks_[index], tasks_[index + 1]);
  }
  changed();
  return true;
}

bool TaskList::remove(int index) {
  TaskPtr removed;  // released after the lock, the runner may still hold it
  {
    std::lock_guard guard(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= tasks_.size()) return false;
    removed = std::move(tasks_[index]);
    tasks_.erase(tasks_.begin() + index);
  }
  changed();
  return true;
}

void TaskList::clear() {
  std::vector<TaskPtr> removed;
  {
    std::lock_guard guard(mutex_);
    removed.swap(tasks_);
  }
  changed();
}

std::vector<TaskPtr> TaskList::snapshot() const {
  std::lock_guard guard(mutex_);
  return tasks_;
}

std::size_t TaskList::size() const {
  std::lock_guard guard(mutex_);
  return tasks_.size();
}

bool TaskList::anyWaiting() const {
  std::lock_guard guard(mutex_);
  return std::any_of(tasks_.begin(), tasks_.end(),
                     [](const TaskPtr& task) { return task->state() == kTaskWaiting; });
}

TaskPtr TaskList::nextWaiting(const std::vector<const MigrationTask*>& visited) const {
  std::lock_guard guard(mutex_);
  for (const TaskPtr& task : tasks_) {
    if (task->state() != kTaskWaiting) continue;
    if (std::find(visited.begin(), visited.end(), task.get()) != visited.end()) continue;
    return task;
  }
  return nullptr;
}

bool TaskList::finish(const TaskPtr& task, TaskOutcome outcome) {
  {
    std::lock_guard sweep(sweepLock_);
    if (task && task->state() == kTaskWaiting) task->markFinished(outcome);
  }
  changed();
  return anyWaiting();
}

void TaskList::setChangeNotifier(std::function<void()> notifier) {
  std::lock_guard guard(notifierMutex_);
  notifier_ = std::move(notifier);
}

void TaskList::changed() {
  refresh_.requestRefresh();
  std::lock_guard guard(notifierMutex_);
  if (notifier_) notifier_();
}

}  // namespace tablift
