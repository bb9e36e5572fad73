#include "engine/migration_task.h"

#include <chrono>

namespace tablift {

TaskCategory CategoryOf(TaskType type) {
  return (static_cast<std::uint32_t>(type) & 0x200) != 0 ? kBackupCategory : kMigrationCategory;
}

std::string_view CategoryText(TaskCategory category) {
  return category == kBackupCategory ? "BACKUP" : "MIGRATION";
}

std::int32_t CurrentTaskTime() {
  return static_cast<std::int32_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                       std::chrono::system_clock::now().time_since_epoch())
                                       .count());
}

MigrationTask::MigrationTask(TaskType type, Names names)
    : type_(type), category_(CategoryOf(type)), names_(std::move(names)) {
  time_.store(CurrentTaskTime());
}

std::string_view MigrationTask::stateText() const {
  switch (phase_.load()) {
    case Phase::Waiting:
      return kStateWaiting;
    case Phase::Working:
      return kStateWorking;
    case Phase::Success:
      return kStateSuccess;
    case Phase::Failure:
      return kStateFailure;
    case Phase::Stopped:
      return kStateStopped;
  }
  return kStateWaiting;
}

void MigrationTask::markStarted(std::int32_t startTime) {
  time_.store(startTime);
  progress_.store(0);
  phase_.store(Phase::Working);
}

void MigrationTask::markFinished(TaskOutcome outcome) {
  switch (outcome) {
    case TaskOutcome::Succeeded:
      phase_.store(Phase::Success);
      state_.store(kTaskSucceeded);
      return;
    case TaskOutcome::Failed:
      phase_.store(Phase::Failure);
      state_.store(kTaskFailed);
      return;
    case TaskOutcome::Stopped:
      phase_.store(Phase::Stopped);
      state_.store(kTaskStopped);
      return;
  }
}

std::int32_t MigrationTask::progressForDisplay() {
  if (!displayed_.exchange(true)) {
    std::int32_t expected = 0;
    progress_.compare_exchange_strong(expected, 5);
  }
  return progress_.load();
}

}  // namespace tablift
