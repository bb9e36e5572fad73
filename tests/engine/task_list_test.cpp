#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "engine/task_list.h"
#include "engine/task_list_rows.h"

namespace tablift {
namespace {

TaskPtr Migration(TaskType type, std::string table = "") {
  return std::make_shared<MigrationTask>(type,
                                         MigrationTask::Names{.sourceDbms = "MS Jet",
                                                              .targetDbms = "MariaDB",
                                                              .sourceObject = std::move(table),
                                                              .sourceDatabase = "/data/shop",
                                                              .targetDatabase = "shop"});
}

TaskPtr Backup(std::string scope, std::string object = "") {
  return std::make_shared<MigrationTask>(object.empty() ? BackupDatabase : BackupObject,
                                         MigrationTask::Names{.backupScope = std::move(scope),
                                                              .targetDbms = "MariaDB",
                                                              .targetObject = std::move(object),
                                                              .targetDatabase = "shop"});
}

std::vector<std::string> Column(TaskList& list, std::size_t column) {
  std::vector<std::string> cells;
  for (const TaskListRow& row : BuildTaskListRows(list))
    cells.push_back(row.cells[column]);
  return cells;
}

TEST(MigrationTaskTest, NewRecordWaitsWithItsCategoryAndNames) {
  const auto before = CurrentTaskTime();
  const TaskPtr table = Migration(ConvertTable, "Orders");
  const TaskPtr backup = Backup("V", "Sales");
  EXPECT_EQ(table->state(), kTaskWaiting);
  EXPECT_EQ(table->stateText(), "Waiting");
  EXPECT_EQ(table->progress(), 0);
  EXPECT_GE(table->time(), before);
  EXPECT_LE(table->time(), CurrentTaskTime());
  EXPECT_EQ(table->category(), kMigrationCategory);
  EXPECT_EQ(backup->category(), kBackupCategory);
  EXPECT_EQ(CategoryOf(CloneDatabase), 256u);
  EXPECT_EQ(CategoryOf(BackupDatabase), 512u);
  EXPECT_EQ(backup->backupScope(), "V");
  EXPECT_EQ(backup->targetObject(), "Sales");
  EXPECT_TRUE(backup->sourceDbms().empty());
}

TEST(MigrationTaskTest, LongNamesAreKeptWhole) {
  const std::string path = "/home/user/" + std::string(300, 'd') + "/Nordwind Ümlaut";
  MigrationTask task(ConvertDatabase, {.sourceDatabase = path, .targetDatabase = "nordwind"});
  EXPECT_EQ(task.sourceDatabase(), path);
}

TEST(MigrationTaskTest, StateFollowsTheRun) {
  MigrationTask task(ConvertTables, {.sourceDatabase = "a", .targetDatabase = "b"});
  task.setProgress(40);
  task.markStarted(1234);
  EXPECT_EQ(task.time(), 1234);
  EXPECT_EQ(task.progress(), 0);
  EXPECT_EQ(task.stateText(), "Working");
  EXPECT_EQ(task.state(), kTaskWaiting);  // still counted as not finished while it works
  task.setProgress(100);
  task.markFinished(TaskOutcome::Failed);
  EXPECT_EQ(task.state(), kTaskFailed);
  EXPECT_EQ(task.stateText(), "FAILURE");
  EXPECT_TRUE(task.finished());
}

TEST(TaskListTest, ItemCommandsMirrorTheListControl) {
  TaskList list;
  const TaskPtr a = Migration(ConvertTable, "A");
  const TaskPtr b = Migration(ConvertTable, "B");
  const TaskPtr c = Migration(ConvertTable, "C");
  list.append(a);
  list.append(b);
  list.append(c);

  EXPECT_FALSE(list.moveUp(0));    // first row: the control reports no move
  EXPECT_FALSE(list.moveDown(2));  // last row
  EXPECT_FALSE(list.moveUp(-1));   // nothing selected
  EXPECT_FALSE(list.remove(-1));
  EXPECT_FALSE(list.remove(3));
  EXPECT_EQ(list.snapshot(), (std::vector<TaskPtr>{a, b, c}));

  EXPECT_TRUE(list.moveUp(2));
  EXPECT_EQ(list.snapshot(), (std::vector<TaskPtr>{a, c, b}));
  EXPECT_TRUE(list.moveDown(0));
  EXPECT_EQ(list.snapshot(), (std::vector<TaskPtr>{c, a, b}));
  EXPECT_TRUE(list.remove(1));
  EXPECT_EQ(list.snapshot(), (std::vector<TaskPtr>{c, b}));
  list.clear();
  EXPECT_TRUE(list.empty());
}

TEST(TaskListTest, RowsShowTheRecordsAndRenumberAfterDelete) {
  TaskList list;
  const TaskPtr done = Migration(ConvertTable, "Orders");
  list.append(done);
  list.append(Backup("A"));
  list.append(Migration(ConvertView, "Sales"));
  done->markStarted(CurrentTaskTime());
  done->setProgress(100);
  done->markFinished(TaskOutcome::Succeeded);

  auto rows = BuildTaskListRows(list);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].cells,
            (std::array<std::string, 13>{"01", " ", "MIGRATION", "SUCCESS", "", "", "0:00",
                                         "MS Jet", "/data/shop", "Orders", "MariaDB", "shop", ""}));
  EXPECT_EQ(rows[0].progress, 100);
  EXPECT_EQ(rows[1].cells[2], "BACKUP");
  EXPECT_EQ(rows[1].cells[3], "Waiting");
  EXPECT_EQ(rows[1].progress, 5);  // a waiting task shows a short bar
  EXPECT_EQ(list.snapshot()[1]->progress(), 5);

  ASSERT_TRUE(list.remove(0));
  EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"01", "02"}));
  EXPECT_EQ(Column(list, 9), (std::vector<std::string>{"", "Sales"}));
}

TEST(TaskListTest, StartedRecordShowsItsRealProgress) {
  TaskList list;
  const TaskPtr task = Migration(ConvertTable, "Orders");
  list.append(task);
  EXPECT_EQ(BuildTaskListRows(list)[0].progress, 5);
  task->markStarted(CurrentTaskTime());  // the controller starts it at 0
  EXPECT_EQ(BuildTaskListRows(list)[0].progress, 0);
  task->setProgress(50);
  EXPECT_EQ(BuildTaskListRows(list)[0].progress, 50);
}

TEST(TaskListRefreshClockTest, RebuildsEveryFifthTickWhileShownAndAtOnceOnRequest) {
  TaskListRefreshClock clock;
  std::vector<bool> ticks;
  for (int i = 0; i < 10; ++i)
    ticks.push_back(clock.tick(true));
  EXPECT_EQ(ticks, (std::vector<bool>{false, false, false, false, true, false, false, false, false,
                                      true}));

  for (int i = 0; i < 20; ++i)
    EXPECT_FALSE(clock.tick(false));  // tab hidden: nothing
  clock.requestRefresh();
  EXPECT_FALSE(clock.tick(false));  // still hidden
  EXPECT_TRUE(clock.tick(true));    // caught up on the first tick it is shown
  EXPECT_FALSE(clock.tick(true));
}

TEST(TaskListRefreshClockTest, ListChangesRequestARefresh) {
  TaskList list;
  int notified = 0;
  list.setChangeNotifier([&] { ++notified; });
  list.append(Migration(ConvertTable, "A"));
  EXPECT_TRUE(list.refreshClock().tick(true));
  EXPECT_FALSE(list.moveUp(0));  // no change, no request
  EXPECT_FALSE(list.refreshClock().tick(true));
  list.clear();
  EXPECT_TRUE(list.refreshClock().tick(true));
  EXPECT_EQ(notified, 2);
}

TEST(TaskListTest, SweepFindsWaitingRecordsInOrderIncludingLateOnes) {
  TaskList list;
  const TaskPtr finished = Migration(ConvertTable, "Done");
  finished->markFinished(TaskOutcome::Succeeded);
  const TaskPtr first = Migration(ConvertTable, "A");
  const TaskPtr noRunner =
      std::make_shared<MigrationTask>(static_cast<TaskType>(0x1FF), MigrationTask::Names{});
  list.append(finished);
  list.append(first);
  list.append(noRunner);

  std::vector<const MigrationTask*> visited;
  TaskPtr next = list.nextWaiting(visited);
  EXPECT_EQ(next, first);
  visited.push_back(next.get());
  list.finish(first, TaskOutcome::Succeeded);

  const TaskPtr late = Migration(ConvertTable, "Late");  // queued during the sweep
  list.append(late);
  next = list.nextWaiting(visited);
  EXPECT_EQ(next, noRunner);
  visited.push_back(next.get());  // it has no runner and stays waiting
  next = list.nextWaiting(visited);
  EXPECT_EQ(next, late);
  visited.push_back(next.get());
  EXPECT_EQ(list.nextWaiting(visited), nullptr);
}

TEST(TaskListTest, OutcomeGoesToTheRunnersRecordOnly) {
  TaskList list;
  const TaskPtr running = Migration(ConvertTable, "A");
  const TaskPtr queuedSameSecond = Migration(ConvertTable, "B");
  list.append(running);
  list.append(queuedSameSecond);
  running->markStarted(queuedSameSecond->time());  // both carry the same second

  EXPECT_TRUE(list.finish(running, TaskOutcome::Failed));  // B still waits
  EXPECT_EQ(running->stateText(), "FAILURE");
  EXPECT_EQ(queuedSameSecond->state(), kTaskWaiting);
  EXPECT_EQ(queuedSameSecond->stateText(), "Waiting");

  EXPECT_TRUE(list.finish(running, TaskOutcome::Succeeded));  // an outcome once written stays
  EXPECT_EQ(running->stateText(), "FAILURE");
  EXPECT_FALSE(list.finish(queuedSameSecond, TaskOutcome::Succeeded));
}

TEST(TaskListTest, DeletingTheRunningRecordLeavesItWithItsRunner) {
  TaskList list;
  TaskPtr runnerCopy = Migration(ConvertTable, "A");
  std::weak_ptr<MigrationTask> watch = runnerCopy;
  list.append(runnerCopy);
  list.append(Migration(ConvertTable, "B"));
  runnerCopy->markStarted(CurrentTaskTime());

  list.clear();
  runnerCopy->setProgress(70);  // the runner goes on writing into its record
  EXPECT_FALSE(list.finish(runnerCopy, TaskOutcome::Succeeded));
  EXPECT_EQ(runnerCopy->stateText(), "SUCCESS");
  runnerCopy.reset();
  EXPECT_TRUE(watch.expired());  // freed once the runner let go
}

TEST(TaskListTest, EditsDoNotWaitForASweepInProgress) {
  TaskList list;
  list.append(Migration(ConvertTable, "A"));
  std::promise<void> sweepHoldsLock;
  std::promise<void> editsDone;
  std::thread controller([&] {
    std::lock_guard sweep(list.lock());
    sweepHoldsLock.set_value();
    editsDone.get_future().wait();  // a task that runs for a long time
  });
  sweepHoldsLock.get_future().wait();

  auto edits = std::async(std::launch::async, [&] {
    list.append(Migration(ConvertTable, "B"));
    list.moveUp(1);
    list.remove(0);
    BuildTaskListRows(list);
    list.clear();
  });
  const bool finished = edits.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  editsDone.set_value();
  controller.join();
  EXPECT_TRUE(finished) << "an edit waited for the sweep";
}

TEST(TaskListTest, TaskListLockIsRecursive) {
  TaskList list;
  const TaskPtr task = Migration(ConvertTable, "A");
  list.append(task);
  std::lock_guard sweep(list.lock());
  EXPECT_FALSE(
      list.finish(task, TaskOutcome::Succeeded));  // takes the lock again on the same thread
}

}  // namespace
}  // namespace tablift

namespace tablift {
namespace {

// A working task shows how far its table has got: rows done of the table's
// rows, the rate and the time since it started; the bar follows the rows.
TEST(TaskListRowsTest, AWorkingTaskShowsItsRowsRateAndElapsedTime) {
  TaskList list;
  const TaskPtr task = std::make_shared<MigrationTask>(
      ConvertTable, MigrationTask::Names{.sourceObject = "Order", .targetDatabase = "shop"});
  list.append(task);
  EXPECT_EQ(BuildTaskListRows(list)[0].cells[4], "");
  EXPECT_EQ(BuildTaskListRows(list)[0].cells[6], "");
  task->markStarted(CurrentTaskTime());
  task->setRows("Order", 0, 2000);
  EXPECT_EQ(BuildTaskListRows(list)[0].cells[4], "0 / 2000");
  EXPECT_EQ(BuildTaskListRows(list)[0].cells[5], "");  // no rate before the first row
  task->setRows("Order", 1000, 2000);
  const TaskListRow half = BuildTaskListRows(list)[0];
  EXPECT_EQ(half.cells[4], "1000 / 2000");
  EXPECT_EQ(half.progress, 52);
  EXPECT_THAT(half.cells[6], ::testing::MatchesRegex("[0-9]+:[0-5][0-9]"));
  task->setRows("Order", 2000, 2000);
  EXPECT_EQ(BuildTaskListRows(list)[0].progress, 99);  // full only when the task ends
  // A source that cannot count its rows shows the count alone.
  task->setRows("Order", 10, 0);
  EXPECT_EQ(BuildTaskListRows(list)[0].cells[4], "10");
  EXPECT_EQ(task->rowsTable(), "Order");
  // The next table starts its own count and rate.
  task->setRows("Customers", 5, 0);
  EXPECT_EQ(task->rowsTable(), "Customers");
  task->markFinished(TaskOutcome::Stopped);
  EXPECT_EQ(BuildTaskListRows(list)[0].cells[3], "Stopped");
}

}  // namespace
}  // namespace tablift
