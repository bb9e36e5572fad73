#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/connection_profile.h"
#include "core/prompter.h"
#include "engine/catalog_tree.h"
#include "engine/connection.h"
#include "engine/controller_thread.h"
#include "engine/main_controller.h"
#include "engine/output_pane.h"
#include "engine/run_state.h"
#include "engine/task_list.h"
#include "migration/migration_context.h"
#include "translate/mysql_names.h"

namespace tablift {

// "data_cache" in the program's directory: where migrations keep each
// object's statements unless told otherwise.
std::filesystem::path DefaultCacheFolder();

// The engine's view of the main window: the state every command, runner and
// worker works on, without any GUI. The desktop program and the command line
// each own one and connect its seams (prompter, output listeners, status
// listener) to their own way of showing things.
class Workbench : public MigrationContext {
 public:
  // Messages that low-level code shows (a regular expression that cannot be
  // compiled, a directory that cannot be made) reach the user through this
  // workbench's prompter while it lives.
  explicit Workbench(Prompter& prompter);
  ~Workbench();
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  Prompter& prompter() override { return prompter_; }
  LogSink& log() override { return output_; }
  // The rows of the table under way go to the task the controller runs.
  void reportRows(const std::string& table, long done, long total) override;
  // Set by the controller around each task it runs; null between tasks.
  void setRunningTask(TaskPtr task);

  // While the work is paused, the workers wait here (at their next row,
  // table or view) until it goes on; the pausing thread itself never waits.
  bool stopRequested() const override;

  // Holds the workers while the user is asked whether to stop them, so that
  // nothing more is done behind the question; they go on (or stop, when the
  // answer set the stop) once the pause ends.
  class WorkPause {
   public:
    explicit WorkPause(Workbench& window);
    ~WorkPause();
    WorkPause(const WorkPause&) = delete;
    WorkPause& operator=(const WorkPause&) = delete;

   private:
    Workbench& window_;
  };
  OutputPane& output() { return output_; }
  TaskList& tasks() { return tasks_; }
  std::atomic<RunState>& runState() { return runState_; }
  // Whether the stop now requested came from the controller itself (nothing
  // waited any more) rather than from the user.
  std::atomic<bool>& automaticStop() { return automaticStop_; }

  // The two sides' connections: source (Access) and target (MySQL).
  Connection& sourceConnection() { return source_; }
  Connection& targetConnection() { return target_; }
  ConnectionProfile& sourceProfile() { return source_.profile; }
  ConnectionProfile& targetProfile() { return target_.profile; }
  // The sides' open sessions, or null: what statements are run on.
  Session* sourceSession() const override { return source_.openSession(); }
  Session* targetSession() const override { return target_.openSession(); }

  // The settings a migration or backup queued now works with: the user's
  // choices and what the connections say.
  MigrationSettings migrationSettings() const override;
  // The summary of the migrations run since it was last cleared.
  RunRecorder* runRecorder() override { return &runRecorder_; }
  // Where migrations keep each object's statements: DefaultCacheFolder()
  // unless set otherwise.
  std::filesystem::path cacheFolder() const;
  void setCacheFolder(std::filesystem::path path);

  // The status bar's message pane. The controller thread sets it; the listener
  // is told without the setter waiting on the user-interface thread.
  void setStatusText(std::string text);
  std::string statusText() const;
  void setStatusListener(std::function<void(const std::string&)> listener);

  // The controller thread, and the runner of each task type it uses (the
  // engine's own runners unless a test gives others).
  ControllerThread& controllerThread() { return controller_; }
  TaskRunner taskRunner(TaskType type) const;
  void setTaskRunners(TaskRunnerLookup lookup);

  // The task list's Start/Stop button: its image (StartStopImage) and tool
  // tip, set by the controller; the listener is told of every change.
  int startStopImage() const;
  void setStartStopImage(int image);
  std::string startStopToolTip() const;
  void setStartStopToolTip(std::string text);
  void setStartStopListener(std::function<void()> listener);

  // Told on the controller thread when a run of the task list has ended (the
  // thread winds down), with everything the run did in the run recorder.
  void setRunEndListener(std::function<void()> listener);
  void tellRunEnded();

  // The connection character set chosen for the target ("LATIN1" after every
  // connect).
  std::string charset() const;
  void setCharset(std::string charset);

  // How Access names are spelt on the MySQL side (kept as they are unless
  // the user chose otherwise).
  NameRule nameRule() const { return nameRule_.load(); }
  void setNameRule(NameRule rule) { nameRule_.store(rule); }

  // Where migration conditions are kept ("Condition.cfg" in the program's
  // directory unless set otherwise).
  std::filesystem::path conditionFile() const;
  void setConditionFile(std::filesystem::path path);

  // The folder the latest Backup command chose; empty before the first
  // choice. Each backup task also keeps the folder chosen for it.
  std::filesystem::path backupDirectory() const;
  void setBackupDirectory(std::filesystem::path path);

  // The current database path of the catalog tree of a side (kSourceSide or
  // kTargetSide); empty while the tree shows no database.
  static constexpr int kSourceSide = 0;
  static constexpr int kTargetSide = 1;
  std::string treeDatabasePath(int side) const;
  void setTreeDatabasePath(int side, std::string path);

  // The catalog tree models of the two sides, which the catalog listing fills
  // and the commands read selections from.
  CatalogTree& tree(int side) { return trees_[side == kTargetSide ? 1 : 0]; }
  CatalogTree& sourceTree() { return trees_[0]; }
  CatalogTree& targetTree() { return trees_[1]; }

 private:
  RunRecorder runRecorder_;
  Prompter& prompter_;
  OutputPane output_;
  TaskList tasks_;
  std::atomic<RunState> runState_{RunState::Idle};
  std::atomic<bool> automaticStop_{false};
  mutable std::mutex pauseMutex_;
  mutable std::condition_variable resumed_;
  bool paused_ = false;
  std::thread::id pausingThread_;
  TaskPtr runningTask_;  // under mutex_
  Connection source_;
  Connection target_;

  mutable std::mutex mutex_;
  std::string statusText_;
  std::function<void(const std::string&)> statusListener_;
  std::string charset_ = "LATIN1";
  std::atomic<NameRule> nameRule_{NameRule::Keep};
  std::filesystem::path conditionFile_;
  std::filesystem::path cacheFolder_;
  std::filesystem::path backupDirectory_;
  TaskRunnerLookup taskRunners_;
  int startStopImage_ = kStartRequestedImage;
  std::string startStopToolTip_ = "Start tasks";
  std::function<void()> startStopListener_;
  std::function<void()> runEndListener_;
  CatalogTree trees_[2] = {CatalogTree(kSourceSide), CatalogTree(kTargetSide)};
  // Last, so that it is gone before anything its thread uses.
  ControllerThread controller_;
};

}  // namespace tablift
