#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace tablift {

enum TaskCategory : std::uint32_t {
  kMigrationCategory = 256,
  kBackupCategory = 512,
};

enum TaskType : std::uint32_t {
  CloneDatabase = 0x101,
  ConvertDatabase = 0x102,
  ConvertTables = 0x103,
  ConvertViews = 0x104,
  ConvertTable = 0x105,
  ConvertView = 0x106,
  BackupDatabase = 0x201,
  BackupObject = 0x202,
};

enum TaskState : std::int32_t {
  kTaskWaiting = 0,
  kTaskSucceeded = 1,
  kTaskFailed = 3,
  kTaskStopped = 4,
};

// How a runner's work ended: whole, not whole, or cut short by the user's
// stop (which is neither a success nor a fault of the data).
enum class TaskOutcome : std::uint8_t { Succeeded, Failed, Stopped };

inline constexpr std::string_view kStateWaiting = "Waiting";
inline constexpr std::string_view kStateWorking = "Working";
inline constexpr std::string_view kStateSuccess = "SUCCESS";
inline constexpr std::string_view kStateFailure = "FAILURE";
inline constexpr std::string_view kStateStopped = "Stopped";

// One queued migration or backup. The user-interface thread creates and
// arranges records; the controller thread writes `time`, `stateText`, `state`
// and `progress` of the record it runs. Those may be read by the view while
// the controller writes them, so they are atomic; the names never change after
// creation.
class MigrationTask {
 public:
  struct Names {
    std::string backupScope{};
    std::string sourceDbms{};
    std::string targetDbms{};
    std::string sourceObject{};
    std::string sourceDatabase{};
    std::string targetObject{};
    std::string targetDatabase{};
    // A backup's folder, as its command chose it.
    std::string backupDirectory{};
    // A migration that continues an interrupted one (see MigrationSettings).
    bool resume = false;
  };

  // The record of a new task, "Waiting", stamped with the current time.
  // Names are kept whole whatever their length: a database path may well be
  // longer than 255 characters on Linux, and a cut name would silently
  // address another object.
  MigrationTask(TaskType type, Names names);

  TaskType type() const { return type_; }
  TaskCategory category() const { return category_; }
  const Names& names() const { return names_; }
  const std::string& backupScope() const { return names_.backupScope; }
  const std::string& sourceDbms() const { return names_.sourceDbms; }
  const std::string& targetDbms() const { return names_.targetDbms; }
  const std::string& sourceObject() const { return names_.sourceObject; }
  const std::string& sourceDatabase() const { return names_.sourceDatabase; }
  const std::string& targetObject() const { return names_.targetObject; }
  const std::string& targetDatabase() const { return names_.targetDatabase; }
  const std::string& backupDirectory() const { return names_.backupDirectory; }

  std::int32_t state() const { return state_.load(); }
  std::int32_t time() const { return time_.load(); }
  std::int32_t progress() const { return progress_.load(); }
  std::string_view stateText() const;
  bool finished() const { return state() != kTaskWaiting; }

  // Written by the controller when it starts the record.
  void markStarted(std::int32_t startTime);
  // Written by the controller when the runner has ended.
  void markFinished(TaskOutcome outcome);
  void setProgress(std::int32_t percent) { progress_.store(percent); }
  // The rows of the table under way: done of total (total 0 while unknown),
  // and since when the record has worked (for its rate and elapsed time).
  void setRows(const std::string& table, long done, long total);
  long rowsDone() const { return rowsDone_.load(); }
  // The table whose rows rowsDone() counts; "" before any.
  std::string rowsTable() const;
  // Seconds since the rows of that table began; 0 before any.
  double tableSeconds() const;
  long rowsTotal() const { return rowsTotal_.load(); }
  // Seconds since the record started; 0 before it did.
  double elapsedSeconds() const;
  // Rows per second over the table under way; 0 before any.
  double rowsPerSecond() const;
  // A waiting record first shown in the view gets a short bar (5 %) so that it
  // is visible; the record remembers it was shown.
  std::int32_t progressForDisplay();

 private:
  enum class Phase : std::uint8_t { Waiting, Working, Success, Failure, Stopped };

  TaskType type_;
  TaskCategory category_;
  Names names_;
  std::atomic<std::int32_t> state_{kTaskWaiting};
  std::atomic<std::int32_t> time_{0};
  std::atomic<std::int32_t> progress_{0};
  std::atomic<bool> displayed_{false};
  std::atomic<Phase> phase_{Phase::Waiting};
  std::atomic<long> rowsDone_{0};
  std::atomic<long> rowsTotal_{0};
  std::atomic<std::int64_t> startedNs_{0};  // steady clock; 0 before the start
  std::atomic<std::int64_t> endedNs_{0};    // steady clock; 0 while it works
  std::atomic<std::int64_t> tableStartedNs_{0};
  std::atomic<std::int64_t> tableEndedNs_{0};  // when its last row arrived
  mutable std::mutex rowsTableMutex_;
  std::string rowsTable_;
};

// "MIGRATION" or "BACKUP".
std::string_view CategoryText(TaskCategory category);
TaskCategory CategoryOf(TaskType type);
// The seconds since 1970 as the records count time.
std::int32_t CurrentTaskTime();

}  // namespace tablift
