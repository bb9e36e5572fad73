#include "engine/controller_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"

// The flag states are set by hand: no controller thread exists unless a test
// starts one, so that the commands' answers can be watched without timing.
namespace tablift {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Kind = ScriptedPrompter::Kind;

// A prompter whose questions can let something happen while they are open,
// as the controller may end while the user reads the box.
class SlowPrompter : public ScriptedPrompter {
 public:
  using ScriptedPrompter::ScriptedPrompter;
  std::function<void()> whileAsking;

  bool askOkCancel(std::string_view question) override {
    if (whileAsking) whileAsking();
    return ScriptedPrompter::askOkCancel(question);
  }
};

bool WaitUntilIdle(Workbench& window) {
  for (int i = 0; i < 300 && window.runState().load() != RunState::Idle; ++i)
    std::this_thread::sleep_for(50ms);
  return window.runState().load() == RunState::Idle;
}

TEST(StartStopCommandTest, StopsRunningTasksOnlyAfterOk) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  window.runState().store(RunState::Running);
  window.setStartStopImage(kRunningImage);

  prompter.queueAnswer(false);
  StartStopCommand(window);
  EXPECT_EQ(window.runState().load(), RunState::Running);
  EXPECT_EQ(window.startStopImage(), kRunningImage);

  prompter.queueAnswer(true);
  StartStopCommand(window);
  EXPECT_EQ(window.runState().load(), RunState::StopRequested);
  EXPECT_EQ(window.startStopImage(), kStopRequestedImage);
  EXPECT_THAT(prompter.texts(Kind::OkCancel), ElementsAre("Some Tasks is Processing, STOP ALL?",
                                                          "Some Tasks is Processing, STOP ALL?"));

  // Pressed again while the stop is under way: told to wait, nothing else.
  StartStopCommand(window);
  EXPECT_EQ(window.runState().load(), RunState::StopRequested);
  EXPECT_THAT(prompter.texts(Kind::Message), ElementsAre("Some Tasks is Stopping, Please Wait!!!"));
  EXPECT_EQ(prompter.texts(Kind::OkCancel).size(), 2u);
}

TEST(StartStopCommandTest, AControllerThatEndedWhileAskingIsNotLeftStopping) {
  SlowPrompter prompter;
  Workbench window(prompter);
  window.runState().store(RunState::Running);
  window.setStartStopImage(kRunningImage);
  prompter.whileAsking = [&] {
    window.setStartStopImage(kFinishedImage);
    window.runState().store(RunState::Idle);  // the last task completed meanwhile
  };
  StartStopCommand(window);
  EXPECT_EQ(window.runState().load(), RunState::Idle);
  EXPECT_EQ(window.startStopImage(), kFinishedImage);
}

TEST(StartStopCommandTest, StartsTheControllerWhenIdleWithoutClearingTheList) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  window.setTaskRunners([](TaskType) { return TaskRunner(); });  // records stay waiting
  window.setStartStopImage(kFinishedImage);
  window.tasks().append(std::make_shared<MigrationTask>(ConvertTable, MigrationTask::Names{}));

  StartStopCommand(window);
  EXPECT_EQ(window.runState().load(), RunState::Running);
  EXPECT_EQ(window.startStopImage(), kStartRequestedImage);
  EXPECT_EQ(window.tasks().size(), 1u);
  EXPECT_THAT(prompter.prompts(), IsEmpty());

  RequestStop(window);
  EXPECT_TRUE(WaitUntilIdle(window));
}

TEST(BusyGuardTest, LetsACommandRunOnlyWhileNoTasksRun) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  EXPECT_TRUE(MayRunBesideTasks(window));
  EXPECT_THAT(prompter.prompts(), IsEmpty());

  window.runState().store(RunState::Running);
  prompter.queueAnswer(false);
  EXPECT_FALSE(MayRunBesideTasks(window));
  EXPECT_EQ(window.runState().load(), RunState::Running);

  prompter.queueAnswer(true);
  EXPECT_FALSE(MayRunBesideTasks(window));  // stops the tasks, but does not go on itself
  EXPECT_EQ(window.runState().load(), RunState::StopRequested);

  EXPECT_FALSE(MayRunBesideTasks(window));
  EXPECT_EQ(window.runState().load(), RunState::StopRequested);
  EXPECT_THAT(prompter.texts(Kind::OkCancel), ElementsAre("Some Tasks is Processing, STOP ALL?",
                                                          "Some Tasks is Processing, STOP ALL?"));
  EXPECT_THAT(prompter.texts(Kind::Message),
              ElementsAre("Some Tasks is Stopping, Please try again later!!!"));
}

TEST(BusyGuardTest, AControllerThatEndedWhileAskingIsNotLeftStopping) {
  SlowPrompter prompter;
  Workbench window(prompter);
  window.runState().store(RunState::Running);
  prompter.whileAsking = [&] { window.runState().store(RunState::Idle); };
  EXPECT_FALSE(MayRunBesideTasks(window));
  EXPECT_EQ(window.runState().load(), RunState::Idle);
  EXPECT_TRUE(MayRunBesideTasks(window));  // the user tries again: it goes on
}

TEST(CloseQueryTest, ClosesAtOnceWhenNoTasksRun) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  EXPECT_EQ(QueryClose(window), CloseDecision::Close);
  window.runState().store(RunState::StopRequested);
  EXPECT_EQ(QueryClose(window), CloseDecision::Close);
  EXPECT_THAT(prompter.prompts(), IsEmpty());
}

TEST(CloseQueryTest, CancelKeepsTheTasksRunningAndOkStopsThemBeforeClosing) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  window.runState().store(RunState::Running);

  prompter.queueAnswer(false);
  EXPECT_EQ(QueryClose(window), CloseDecision::KeepOpen);
  EXPECT_EQ(window.runState().load(), RunState::Running);

  prompter.queueAnswer(true);
  EXPECT_EQ(QueryClose(window), CloseDecision::AskAgain);
  EXPECT_EQ(window.runState().load(), RunState::StopRequested);

  // The window's timer asks again: the stop is under way, so it closes.
  EXPECT_EQ(QueryClose(window), CloseDecision::Close);
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Some Tasks is Processing, STOP ALL and EXIT?",
                          "Some Tasks is Processing, STOP ALL and EXIT?"));
}

TEST(CloseQueryTest, AControllerThatEndedWhileAskingIsNotLeftStopping) {
  SlowPrompter prompter;
  Workbench window(prompter);
  window.runState().store(RunState::Running);
  prompter.whileAsking = [&] { window.runState().store(RunState::Idle); };
  EXPECT_EQ(QueryClose(window), CloseDecision::AskAgain);
  EXPECT_EQ(window.runState().load(), RunState::Idle);
  EXPECT_EQ(QueryClose(window), CloseDecision::Close);
}

}  // namespace
}  // namespace tablift
