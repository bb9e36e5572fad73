#include "engine/main_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"

// The engine's own runners need both databases; these tests give the
// controller runners of their own to watch how it sweeps, orders, completes
// and ends.
namespace tablift {
namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TaskPtr Queue(Workbench& window, TaskType type, const std::string& object) {
  auto task = std::make_shared<MigrationTask>(type, MigrationTask::Names{.sourceObject = object});
  window.tasks().append(task);
  return task;
}

// Waits (bounded, so that a fault fails instead of hanging) until the
// controller thread has ended.
bool WaitUntilIdle(Workbench& window) {
  for (int i = 0; i < 300 && window.runState().load() != RunState::Idle; ++i) {
    std::this_thread::sleep_for(50ms);
  }
  return window.runState().load() == RunState::Idle;
}

std::vector<std::string> LogTexts(Workbench& window) {
  std::vector<std::string> texts;
  for (const auto& line : window.output().lines())
    texts.push_back(line.text);
  return texts;
}

TEST(MainControllerTest, RunsQueuedTasksInOrderInOneThreadAndEndsWhenNothingWaits) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  std::vector<std::string> ran;
  std::vector<std::thread::id> threads;
  std::function<void()> queueMore;
  window.setTaskRunners([&](TaskType type) -> TaskRunner {
    if (type != ConvertTable) return {};
    return [&](Workbench&, const ControllerContext& context) {
      ran.push_back(context.names.sourceObject);
      if (queueMore) std::exchange(queueMore, nullptr)();
      threads.push_back(std::this_thread::get_id());
      context.setProgress(90);
      return context.names.sourceObject != "Broken";
    };
  });
  std::vector<std::string> statuses;
  window.setStatusListener([&](const std::string& text) { statuses.push_back(text); });

  // The user queues two more while the first runs: the sweep in progress
  // picks them up.
  TaskPtr second;
  TaskPtr third;
  queueMore = [&] {
    second = Queue(window, ConvertTable, "Broken");
    third = Queue(window, ConvertTable, "Orders");
    StartController(window);  // already running: only the view is refreshed
  };
  const TaskPtr first = Queue(window, ConvertTable, "Customers");
  StartController(window);

  ASSERT_TRUE(WaitUntilIdle(window));
  EXPECT_THAT(ran, ElementsAre("Customers", "Broken", "Orders"));
  ASSERT_EQ(threads.size(), 3u);
  EXPECT_EQ(threads[0], threads[2]);
  EXPECT_NE(threads[0], std::this_thread::get_id());
  EXPECT_EQ(first->stateText(), kStateSuccess);
  EXPECT_EQ(second->stateText(), kStateFailure);
  EXPECT_EQ(third->stateText(), kStateSuccess);
  EXPECT_EQ(third->progress(), 90);
  EXPECT_THAT(LogTexts(window), Contains(HasSubstr("Operation FAILURE!")));
  EXPECT_THAT(statuses, ElementsAre("Some Tasks are WORKING!!!", "NO PROCESSING!!!"));
  EXPECT_EQ(window.startStopToolTip(), "Start tasks");
  EXPECT_EQ(window.startStopImage(), kFinishedImage);
}

TEST(MainControllerTest, AThrowingRunnerFailsItsTaskAndTheNextStillRuns) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  window.setTaskRunners([](TaskType) -> TaskRunner {
    return [](Workbench&, const ControllerContext& context) -> bool {
      if (context.names.sourceObject == "Bad") throw std::runtime_error("statement threw");
      return true;
    };
  });
  const TaskPtr bad = Queue(window, ConvertTable, "Bad");
  const TaskPtr good = Queue(window, ConvertTable, "Good");
  StartController(window);
  ASSERT_TRUE(WaitUntilIdle(window));
  EXPECT_EQ(bad->stateText(), kStateFailure);
  EXPECT_EQ(good->stateText(), kStateSuccess);
  EXPECT_THAT(LogTexts(window), Contains(HasSubstr("statement threw")));
}

TEST(MainControllerTest, ARecordWithoutRunnerWaitsUntilTheUserStops) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  window.setTaskRunners([](TaskType) { return TaskRunner(); });
  const TaskPtr orphan = Queue(window, BackupObject, "T");
  StartController(window);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(window.runState().load(), RunState::Running);
  RequestStop(window);
  ASSERT_TRUE(WaitUntilIdle(window));
  EXPECT_EQ(orphan->stateText(), kStateWaiting);

  // With the flag back at idle the controller can be started again.
  RestartController(window, true);
  EXPECT_TRUE(window.tasks().empty());
  EXPECT_EQ(window.runState().load(), RunState::Running);
  RequestStop(window);
  ASSERT_TRUE(WaitUntilIdle(window));
}

TEST(MainControllerTest, TheWorkbenchCanGoAwayWhileTheControllerPauses) {
  ScriptedPrompter prompter;
  auto window = std::make_unique<Workbench>(prompter);
  window->setTaskRunners([](TaskType) -> TaskRunner {
    return [](Workbench&, const ControllerContext&) { return true; };
  });
  Queue(*window, ConvertTable, "T");
  StartController(*window);
  std::this_thread::sleep_for(300ms);  // inside the three-second pause
  window.reset();                      // must neither hang nor leave a thread behind
  SUCCEED();
}

TEST(MainControllerTest, ATaskQueuedWhileTheControllerWindsDownStillRuns) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  std::vector<std::string> ran;
  std::atomic<int> runs{0};
  window.setTaskRunners([&](TaskType) -> TaskRunner {
    return [&](Workbench&, const ControllerContext& context) {
      ran.push_back(context.names.sourceObject);
      ++runs;
      return true;
    };
  });
  Queue(window, ConvertTable, "First");
  StartController(window);
  // The first task is done and nothing waits: the controller has asked
  // itself to stop and sits in its last pause.
  for (int i = 0; i < 100 && window.runState().load() != RunState::StopRequested; ++i)
    std::this_thread::sleep_for(20ms);
  ASSERT_EQ(window.runState().load(), RunState::StopRequested);
  ASSERT_EQ(runs.load(), 1);
  const TaskPtr second = Queue(window, ConvertTable, "Second");
  StartController(window);
  ASSERT_TRUE(WaitUntilIdle(window));
  EXPECT_EQ(second->stateText(), kStateSuccess);
  EXPECT_THAT(ran, ElementsAre("First", "Second"));
}

}  // namespace
}  // namespace tablift
