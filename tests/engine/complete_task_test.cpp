#include "engine/complete_task.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

using ::testing::ElementsAre;

class CompleteTaskTest : public ::testing::Test {
 protected:
  TaskPtr Queue(std::int32_t startTime, bool started = true) {
    auto task = std::make_shared<MigrationTask>(ConvertTable, MigrationTask::Names{});
    if (started) task->markStarted(startTime);
    window_.tasks().append(task);
    return task;
  }

  std::vector<std::string> Lines() {
    static const std::regex kStamp(R"(^\d+/\d+/\d+ \d+:\d+:\d+:\d+ )");
    std::vector<std::string> texts;
    for (const LogLine& line : window_.output().lines()) {
      texts.push_back(std::regex_replace(line.text, kStamp, ""));
    }
    return texts;
  }

  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
};

TEST_F(CompleteTaskTest, ByTimeFinishesTheUnfinishedRecordsOfThatSecond) {
  window_.runState() = RunState::Running;
  const TaskPtr done = Queue(100);
  done->markFinished(TaskOutcome::Succeeded);
  const TaskPtr first = Queue(100);
  const TaskPtr other = Queue(200);
  CompleteTask(window_, 100, false);
  EXPECT_EQ(done->stateText(), "SUCCESS");  // an outcome once written stays
  EXPECT_EQ(first->stateText(), "FAILURE");
  EXPECT_EQ(first->state(), kTaskFailed);
  EXPECT_EQ(other->state(), kTaskWaiting);
  EXPECT_THAT(Lines(), ElementsAre("Operation FAILURE!"));
  EXPECT_EQ(window_.runState().load(), RunState::Running);  // a record still waits

  CompleteTask(window_, 200, true);
  EXPECT_EQ(other->stateText(), "SUCCESS");
  EXPECT_THAT(Lines(), ElementsAre("Operation FAILURE!", "Operation completed SUCCESSFULLY!"));
  EXPECT_EQ(window_.runState().load(), RunState::StopRequested);
}

TEST_F(CompleteTaskTest, AnEmptyListRequestsTheStop) {
  window_.runState() = RunState::Running;
  CompleteTask(window_, 1, true);
  EXPECT_EQ(window_.runState().load(), RunState::StopRequested);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(CompleteTaskTest, ByRecordLeavesAnotherRecordOfTheSameSecondWaiting) {
  window_.runState() = RunState::Running;
  const TaskPtr first = Queue(300);
  const TaskPtr second = Queue(300);
  CompleteTask(window_, first, true);
  EXPECT_EQ(first->stateText(), "SUCCESS");
  EXPECT_EQ(second->state(), kTaskWaiting);
  EXPECT_EQ(window_.runState().load(), RunState::Running);

  CompleteTask(window_, second, false);
  CompleteTask(window_, second, true);  // already finished: no change, no line
  EXPECT_EQ(second->stateText(), "FAILURE");
  EXPECT_THAT(Lines(), ElementsAre("Operation completed SUCCESSFULLY!", "Operation FAILURE!"));
  EXPECT_EQ(window_.runState().load(), RunState::StopRequested);
}

}  // namespace
}  // namespace tablift
