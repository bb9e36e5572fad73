#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableWidget>

#include "engine/migration_task.h"
#include "tests/app/window_fixture.h"
#include "ui/command_ids.h"
#include "ui/tasks_viewer.h"

namespace tablift::test {
namespace {

TaskPtr Task(const std::string& table) {
  return std::make_shared<MigrationTask>(ConvertTable,
                                         MigrationTask::Names{.sourceDbms = "ACCESS[04.00.0000]",
                                                              .targetDbms = "MySQL[10.11]",
                                                              .sourceObject = table,
                                                              .sourceDatabase = "/data/Nordwind",
                                                              .targetDatabase = "shop"});
}

QStringList Column(QTableWidget* table, int column) {
  QStringList texts;
  for (int row = 0; row < table->rowCount(); ++row)
    texts << table->item(row, column)->text();
  return texts;
}

TEST_F(WindowTest, TheTaskListHasItsColumnsAndABarPerRow) {
  QTableWidget* table = window.tasksViewer()->table();
  QStringList headers;
  for (int i = 0; i < table->columnCount(); ++i)
    headers << table->horizontalHeaderItem(i)->text();
  EXPECT_EQ(headers, (QStringList{"NO.", "Progress", "Type", "State", "Rows", "Rows/s", "Elapsed",
                                  "Source DBMS", "Source DB", "Source T(V)", "Target DBMS",
                                  "Target DB", "Target T(V)"}));
  EXPECT_EQ(table->columnWidth(1), 72);

  window.workbench().tasks().append(Task("Customers"));
  window.tasksViewer()->rebuild();
  ASSERT_EQ(table->rowCount(), 1);
  EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("01"));
  EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("MIGRATION"));
  EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("Waiting"));
  // Every text shows whole: the columns follow their content.
  window.tasksViewer()->show();
  QCoreApplication::processEvents();
  for (int column : {2, 3, 9}) {
    const QString text = table->item(0, column)->text();
    EXPECT_GE(table->columnWidth(column), table->fontMetrics().horizontalAdvance(text))
        << text.toStdString();
  }
  EXPECT_EQ(table->item(0, 9)->text(), QStringLiteral("Customers"));
  auto* bar = qobject_cast<QProgressBar*>(table->cellWidget(0, 1));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->value(), 5);  // a waiting task shows a short bar
  EXPECT_TRUE(bar->styleSheet().contains(QStringLiteral("rgb(27, 156, 213)")));
}

TEST_F(WindowTest, TheTaskListIsRebuiltEveryFifthTickOnlyWhileShown) {
  TasksViewer* viewer = window.tasksViewer();
  window.outputTabs()->setCurrentIndex(kLogTab);
  QCoreApplication::processEvents();
  const int before = viewer->rebuildCount();
  for (int i = 0; i < 12; ++i)
    window.tick();
  EXPECT_EQ(viewer->rebuildCount(), before);

  // A change made meanwhile shows on the first tick after the tab is shown.
  window.workbench().tasks().append(Task("Customers"));
  QCoreApplication::processEvents();
  EXPECT_EQ(viewer->rebuildCount(), before);
  window.outputTabs()->setCurrentIndex(kTaskListTab);
  window.tick();
  EXPECT_EQ(viewer->rebuildCount(), before + 1);
  EXPECT_EQ(viewer->table()->rowCount(), 1);

  // Then every fifth tick.
  for (int i = 0; i < 4; ++i)
    window.tick();
  EXPECT_EQ(viewer->rebuildCount(), before + 1);
  window.tick();
  EXPECT_EQ(viewer->rebuildCount(), before + 2);
}

TEST_F(WindowTest, ItemCommandsRearrangeTheRecordsAndKeepTheSelection) {
  TasksViewer* viewer = window.tasksViewer();
  QTableWidget* table = viewer->table();
  for (const char* name : {"A", "B", "C"})
    window.workbench().tasks().append(Task(name));
  viewer->rebuild();

  table->selectRow(0);
  viewer->action(kCmdItemUp)->trigger();  // the first row cannot move up
  EXPECT_EQ(Column(table, 9), (QStringList{"A", "B", "C"}));
  viewer->action(kCmdItemDown)->trigger();
  EXPECT_EQ(Column(table, 9), (QStringList{"B", "A", "C"}));
  EXPECT_EQ(table->currentRow(), 1);
  viewer->rebuild();  // a timed rebuild keeps the selected row
  EXPECT_EQ(table->selectedRanges().first().topRow(), 1);

  viewer->action(kCmdDeleteTask)->trigger();  // deletes "A", renumbers at once
  EXPECT_EQ(Column(table, 9), (QStringList{"B", "C"}));
  EXPECT_EQ(Column(table, 0), (QStringList{"01", "02"}));
  viewer->action(kCmdClearAllTasks)->trigger();
  EXPECT_EQ(table->rowCount(), 0);
  EXPECT_TRUE(window.workbench().tasks().empty());
}

// Resume is offered only on a migration that ended FAILURE or was stopped;
// it queues the same migration again with resume set, and the runner sees it.
TEST_F(WindowTest, ResumeQueuesAFailedOrStoppedMigrationAgainWithResumeSet) {
  std::atomic<int> resumedRuns{0};
  window.workbench().setTaskRunners([&](TaskType) -> TaskRunner {
    return [&](Workbench&, const ControllerContext& context) {
      if (context.names.resume) ++resumedRuns;
      return true;
    };
  });
  TasksViewer* viewer = window.tasksViewer();
  QTableWidget* table = viewer->table();
  const TaskPtr failed = Task("Failed");
  failed->markStarted(CurrentTaskTime());
  failed->markFinished(TaskOutcome::Failed);
  const TaskPtr stopped = Task("Stopped");
  stopped->markStarted(CurrentTaskTime());
  stopped->markFinished(TaskOutcome::Stopped);
  const TaskPtr succeeded = Task("Succeeded");
  succeeded->markStarted(CurrentTaskTime());
  succeeded->markFinished(TaskOutcome::Succeeded);
  for (const TaskPtr& task : {failed, stopped, succeeded})
    window.workbench().tasks().append(task);
  viewer->rebuild();

  const auto resumeOffered = [&](int row) {
    table->selectRow(row);
    std::unique_ptr<QMenu> menu(viewer->contextMenu());
    EXPECT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Resume"));
    return menu->actions().front()->isEnabled();
  };
  EXPECT_TRUE(resumeOffered(0));
  EXPECT_TRUE(resumeOffered(1));
  EXPECT_FALSE(resumeOffered(2));
  viewer->runCommand(kCmdResumeTask);  // row 2 succeeded: nothing is queued
  EXPECT_EQ(table->rowCount(), 3);

  table->selectRow(0);
  std::unique_ptr<QMenu> menu(viewer->contextMenu());
  menu->actions().front()->trigger();
  const std::vector<TaskPtr> records = window.workbench().tasks().snapshot();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[3]->type(), ConvertTable);
  EXPECT_EQ(records[3]->sourceObject(), "Failed");
  EXPECT_EQ(records[3]->targetDatabase(), "shop");
  EXPECT_TRUE(records[3]->names().resume);
  EXPECT_EQ(table->rowCount(), 4);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!records[3]->finished() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(records[3]->stateText(), kStateSuccess);
  EXPECT_EQ(resumedRuns.load(), 1);
}

}  // namespace
}  // namespace tablift::test
