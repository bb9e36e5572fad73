#include "engine/migration_task.h"

#include <algorithm>
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

namespace {

std::int64_t SteadyNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

void MigrationTask::markStarted(std::int32_t startTime) {
  time_.store(startTime);
  progress_.store(0);
  rowsDone_.store(0);
  rowsTotal_.store(0);
  startedNs_.store(SteadyNow());
  endedNs_.store(0);
  phase_.store(Phase::Working);
}

void MigrationTask::setRows(const std::string& table, long done, long total) {
  {
    std::lock_guard guard(rowsTableMutex_);
    // A new table starts its own count and its own rate.
    if (table != rowsTable_ || done < rowsDone_.load() || total != rowsTotal_.load() ||
        tableStartedNs_.load() == 0) {
      tableStartedNs_.store(SteadyNow());
      tableEndedNs_.store(0);
      rowsTable_ = table;
    }
  }
  // The rate of a table whose rows are all in stays what it was: the keys
  // and views after it are no part of it.
  if (total > 0 && done >= total && tableEndedNs_.load() == 0) tableEndedNs_.store(SteadyNow());
  rowsDone_.store(done);
  rowsTotal_.store(total);
  if (total > 0) {
    // The bar follows the table's rows; it is full only when the task ends.
    const long percent = std::min<long>(99, 5 + done * 94 / total);
    progress_.store(static_cast<std::int32_t>(percent));
  }
}

double MigrationTask::elapsedSeconds() const {
  const std::int64_t started = startedNs_.load();
  if (started == 0) return 0;
  const std::int64_t ended = endedNs_.load();
  return static_cast<double>((ended != 0 ? ended : SteadyNow()) - started) / 1e9;
}

std::string MigrationTask::rowsTable() const {
  std::lock_guard guard(rowsTableMutex_);
  return rowsTable_;
}

double MigrationTask::tableSeconds() const {
  const std::int64_t started = tableStartedNs_.load();
  if (started == 0) return 0;
  const std::int64_t ended = tableEndedNs_.load() != 0 ? tableEndedNs_.load() : endedNs_.load();
  return static_cast<double>((ended != 0 ? ended : SteadyNow()) - started) / 1e9;
}

double MigrationTask::rowsPerSecond() const {
  const double seconds = tableSeconds();
  if (rowsDone_.load() == 0) return 0;
  return seconds > 0 ? static_cast<double>(rowsDone_.load()) / seconds : 0;
}

void MigrationTask::markFinished(TaskOutcome outcome) {
  if (startedNs_.load() != 0) endedNs_.store(SteadyNow());
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
