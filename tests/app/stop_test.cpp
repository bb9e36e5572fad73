#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/main_window.h"
#include "core/scripted_prompter.h"
#include "engine/main_controller.h"
#include "tests/app/gui_test_support.h"
#include "tests/support/test_paths.h"
#include "ui/command_ids.h"
#include "ui/tasks_viewer.h"

// Stop as the user presses it in the window: the work holds while the
// question is open, and the task ends "Stopped" once the answer is OK.
namespace tablift::test {
namespace {

using namespace std::chrono_literals;

// Answers the stop question after looking twice, some time apart, at how far
// the work has got.
class WatchingPrompter : public ScriptedPrompter {
 public:
  explicit WatchingPrompter(const std::atomic<long>& done) : done_(done) {}
  bool askOkCancel(std::string_view question) override {
    seenAtQuestion = done_.load();
    std::this_thread::sleep_for(300ms);
    seenAtAnswer = done_.load();
    return ScriptedPrompter::askOkCancel(question);
  }
  long seenAtQuestion = -1;
  long seenAtAnswer = -2;

 private:
  const std::atomic<long>& done_;
};

TEST(StopTest, TheWorkHoldsWhileAskedAndTheTaskEndsStopped) {
  Application();
  ScopedTempDir home;
  ScopedEnvironment homeVariable{"TABLIFT_HOME", home.path().string()};
  CurrentDirectoryGuard directory;
  std::atomic<long> done{0};
  WatchingPrompter prompter(done);
  MainWindow window(&prompter);
  Workbench& bench = window.workbench();
  // A worker that does one step after another until told to stop, as the
  // row transfer does, and then says its work is not whole.
  bench.setTaskRunners([&](TaskType) -> TaskRunner {
    return [&](Workbench& runner, const ControllerContext&) {
      while (!runner.stopRequested())
        ++done;
      return false;
    };
  });
  const auto task = std::make_shared<MigrationTask>(ConvertTable, MigrationTask::Names{});
  const auto behind = std::make_shared<MigrationTask>(ConvertTable, MigrationTask::Names{});
  bench.tasks().append(task);
  bench.tasks().append(behind);
  StartController(bench);
  ASSERT_TRUE(ProcessEventsUntil([&] { return done.load() > 1000; }));

  window.tasksViewer()->action(kCmdStartStopTasks)->trigger();
  EXPECT_GT(prompter.seenAtQuestion, 0);
  // At most the step under way when the question opened is finished.
  EXPECT_LE(prompter.seenAtAnswer - prompter.seenAtQuestion, 1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return bench.runState().load() == RunState::Idle; }));
  EXPECT_EQ(task->stateText(), kStateStopped);
  EXPECT_TRUE(task->finished());
  // The task behind was not started: it waits for the next start.
  EXPECT_EQ(behind->stateText(), kStateWaiting);
  bool announced = false;
  for (const LogLine& line : bench.output().lines())
    announced = announced || line.text.find("Operation Stopped!") != std::string::npos;
  EXPECT_TRUE(announced);
}

// Cancel lets the work go on from where it held.
TEST(StopTest, CancelLetsTheWorkGoOn) {
  Application();
  ScopedTempDir home;
  ScopedEnvironment homeVariable{"TABLIFT_HOME", home.path().string()};
  CurrentDirectoryGuard directory;
  std::atomic<long> done{0};
  std::atomic<bool> finish{false};
  WatchingPrompter prompter(done);
  MainWindow window(&prompter);
  Workbench& bench = window.workbench();
  bench.setTaskRunners([&](TaskType) -> TaskRunner {
    return [&](Workbench& runner, const ControllerContext&) {
      while (!finish.load() && !runner.stopRequested())
        ++done;
      return true;
    };
  });
  const auto task = std::make_shared<MigrationTask>(ConvertTable, MigrationTask::Names{});
  bench.tasks().append(task);
  StartController(bench);
  ASSERT_TRUE(ProcessEventsUntil([&] { return done.load() > 1000; }));
  prompter.queueAnswer(false);
  window.tasksViewer()->action(kCmdStartStopTasks)->trigger();
  EXPECT_LE(prompter.seenAtAnswer - prompter.seenAtQuestion, 1);
  const long atAnswer = prompter.seenAtAnswer;
  ASSERT_TRUE(ProcessEventsUntil([&] { return done.load() > atAnswer + 1000; }));
  finish = true;
  ASSERT_TRUE(ProcessEventsUntil([&] { return bench.runState().load() == RunState::Idle; }));
  EXPECT_EQ(task->stateText(), kStateSuccess);
}

}  // namespace
}  // namespace tablift::test
