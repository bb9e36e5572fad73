#include "engine/workbench.h"

#include "access/source_init_properties.h"
#include "data_access/user_messages.h"
#include "data_access/working_directories.h"
#include "engine/task_runners.h"
#include "mysql/server_version.h"
#include "translate/table_ddl.h"

namespace tablift {

Workbench::Workbench(Prompter& prompter) : prompter_(prompter) {
  SetUserMessageHandler(
      [this](const std::string& text) { prompter_.showMessage(text, MessageIcon::Error); });
}

void Workbench::reportRows(const std::string& table, long done, long total) {
  TaskPtr task;
  {
    std::lock_guard guard(mutex_);
    task = runningTask_;
  }
  if (!task) return;
  task->setRows(table, done, total);
  tasks_.refreshClock().requestRefresh();
}

void Workbench::setRunningTask(TaskPtr task) {
  std::lock_guard guard(mutex_);
  runningTask_ = std::move(task);
}

bool Workbench::stopRequested() const {
  std::unique_lock guard(pauseMutex_);
  resumed_.wait(guard, [this] { return !paused_ || pausingThread_ == std::this_thread::get_id(); });
  return runState_.load() == RunState::StopRequested;
}

Workbench::WorkPause::WorkPause(Workbench& window) : window_(window) {
  std::lock_guard guard(window_.pauseMutex_);
  window_.paused_ = true;
  window_.pausingThread_ = std::this_thread::get_id();
}

Workbench::WorkPause::~WorkPause() {
  {
    std::lock_guard guard(window_.pauseMutex_);
    window_.paused_ = false;
  }
  window_.resumed_.notify_all();
}

Workbench::~Workbench() {
  // The workers look at the run flag between rows, tables and views; the
  // controller's pause ends at once.
  runState_.store(RunState::StopRequested);
  controller_.shutdown();
  SetUserMessageHandler({});
}

TaskRunner Workbench::taskRunner(TaskType type) const {
  TaskRunnerLookup lookup;
  {
    std::lock_guard guard(mutex_);
    lookup = taskRunners_;
  }
  return lookup ? lookup(type) : FindTaskRunner(type);
}

void Workbench::setTaskRunners(TaskRunnerLookup lookup) {
  std::lock_guard guard(mutex_);
  taskRunners_ = std::move(lookup);
}

int Workbench::startStopImage() const {
  std::lock_guard guard(mutex_);
  return startStopImage_;
}

void Workbench::setStartStopImage(int image) {
  std::function<void()> listener;
  {
    std::lock_guard guard(mutex_);
    startStopImage_ = image;
    listener = startStopListener_;
  }
  if (listener) listener();
}

std::string Workbench::startStopToolTip() const {
  std::lock_guard guard(mutex_);
  return startStopToolTip_;
}

void Workbench::setStartStopToolTip(std::string text) {
  std::function<void()> listener;
  {
    std::lock_guard guard(mutex_);
    startStopToolTip_ = std::move(text);
    listener = startStopListener_;
  }
  if (listener) listener();
}

void Workbench::setStartStopListener(std::function<void()> listener) {
  std::lock_guard guard(mutex_);
  startStopListener_ = std::move(listener);
}

void Workbench::setRunEndListener(std::function<void()> listener) {
  std::lock_guard guard(mutex_);
  runEndListener_ = std::move(listener);
}

void Workbench::tellRunEnded() {
  std::function<void()> listener;
  {
    std::lock_guard guard(mutex_);
    listener = runEndListener_;
  }
  if (listener) listener();
}

void Workbench::setStatusText(std::string text) {
  std::function<void(const std::string&)> listener;
  {
    std::lock_guard guard(mutex_);
    statusText_ = text;
    listener = statusListener_;
  }
  if (listener) listener(text);
}

std::string Workbench::statusText() const {
  std::lock_guard guard(mutex_);
  return statusText_;
}

void Workbench::setStatusListener(std::function<void(const std::string&)> listener) {
  std::lock_guard guard(mutex_);
  statusListener_ = std::move(listener);
}

std::string Workbench::charset() const {
  std::lock_guard guard(mutex_);
  return charset_;
}

void Workbench::setCharset(std::string charset) {
  std::lock_guard guard(mutex_);
  charset_ = std::move(charset);
}

std::filesystem::path Workbench::conditionFile() const {
  std::lock_guard guard(mutex_);
  if (conditionFile_.empty()) return ProgramDirectory() / "Condition.cfg";
  return conditionFile_;
}

void Workbench::setConditionFile(std::filesystem::path path) {
  std::lock_guard guard(mutex_);
  conditionFile_ = std::move(path);
}

std::filesystem::path Workbench::backupDirectory() const {
  std::lock_guard guard(mutex_);
  return backupDirectory_;
}

void Workbench::setBackupDirectory(std::filesystem::path path) {
  std::lock_guard guard(mutex_);
  backupDirectory_ = std::move(path);
}

MigrationSettings Workbench::migrationSettings() const {
  MigrationSettings settings;
  settings.nameRule = nameRule();
  settings.storageEngine = trees_[kTargetSide].storageEngine();
  settings.charset = charset();
  settings.serverVersion = ParseServerVersion(target_.dbmsName());
  settings.jetSource = IsJetProgId(source_.profile.progId);
  settings.sourceFile = source_.profile.sourceName;
  settings.sourcePassword = source_.profile.password;
  settings.targetProvider = target_.profile.progId;
  settings.conditionFile = conditionFile();
  settings.cacheFolder = cacheFolder();
  settings.backupFolder = backupDirectory();
  settings.cluster = target_.cluster;
  // A cluster replicates the rows of InnoDB tables only.
  if (settings.cluster.replicated() && !IsInnoDb(settings.storageEngine)) {
    settings.replacedEngine = settings.storageEngine;
    settings.storageEngine = "InnoDB";
  }
  {
    std::lock_guard guard(mutex_);
    settings.resume = runningTask_ != nullptr && runningTask_->names().resume;
  }
  return settings;
}

std::filesystem::path DefaultCacheFolder() {
  return ProgramDirectory() / "data_cache";
}

std::filesystem::path Workbench::cacheFolder() const {
  std::lock_guard guard(mutex_);
  if (cacheFolder_.empty()) return DefaultCacheFolder();
  return cacheFolder_;
}

void Workbench::setCacheFolder(std::filesystem::path path) {
  std::lock_guard guard(mutex_);
  cacheFolder_ = std::move(path);
}

std::string Workbench::treeDatabasePath(int side) const {
  if (side != kSourceSide && side != kTargetSide) return {};
  return trees_[side].currentDatabase();
}

void Workbench::setTreeDatabasePath(int side, std::string path) {
  if (side != kSourceSide && side != kTargetSide) return;
  trees_[side].setCurrentDatabase(std::move(path));
}

}  // namespace tablift
