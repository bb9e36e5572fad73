#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <atomic>
#include <filesystem>
#include <thread>

#include "core/write_line.h"
#include "engine/main_controller.h"
#include "tests/app/window_fixture.h"
#include "ui/command_ids.h"
#include "ui/log_view.h"
#include "ui/tasks_viewer.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;
using Kind = ScriptedPrompter::Kind;

QStringList Titles(const QList<QAction*>& actions) {
  QStringList titles;
  for (const QAction* action : actions)
    if (!action->isSeparator()) titles << action->text();
  return titles;
}

TEST_F(WindowTest, StartsWithItsMenusToolsTabsAndStatusPanes) {
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Tablift Version: 1.0"));
  EXPECT_EQ(Titles(window.menuBar()->actions()),
            (QStringList{"&Connect", "&Operation", "D&atabases", "&Database", "&Table", "&Help"}));
  EXPECT_EQ(Titles(window.menuAt(5)->actions()), (QStringList{"&Manual", "&About Tablift"}));
  EXPECT_EQ(Titles(window.menuAt(0)->actions()),
            (QStringList{"&Config", "Co&nnect", "Driver Check", "E&xit"}));
  EXPECT_EQ(window.commandAction(kCmdConnect)->data().toInt(), 32780);
  // Nothing is selected: every entry of the object menus is greyed.
  for (int position : {kDatabasesMenu, kDatabaseMenu, kTableMenu})
    for (const QAction* action : window.menuAt(position)->actions())
      EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();

  auto* tools = window.findChild<QToolBar*>(QStringLiteral("Minitools"));
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(Titles(tools->actions()),
            (QStringList{" Configure ", " Connect ", " Migrate ", " Delete ", " Backup "}));
  EXPECT_EQ(window.commandAction(kCmdToolMigrate)->toolTip(),
            QStringLiteral("Convert from source into target (Ctrl+M)"));

  QTabWidget* tabs = window.outputTabs();
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("Log"));
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("Task List"));
  EXPECT_EQ(tabs->currentIndex(), kTaskListTab);
  EXPECT_TRUE(window.tipsPane()->toPlainText().startsWith(QStringLiteral("F1 to Help:\nBefore")));

  EXPECT_EQ(window.controllerState(), QStringLiteral("Main Controller:IDLE"));
  auto* clock = window.findChild<QLabel*>(QStringLiteral("Clock"));
  ASSERT_NE(clock, nullptr);
  EXPECT_EQ(clock->text().size(), 8);  // HH:MM:SS
  EXPECT_TRUE(std::filesystem::exists(home.path() / "Condition.cfg"));
}

TEST_F(WindowTest, LogShowsLinesFromTheControllerThreadInColour) {
  window.show();
  LogView* log = window.logView();
  QCoreApplication::processEvents();
  const int before = log->count();
  std::thread controller([&] {
    WriteLine(window.workbench(), "E::TABLE: Create [%s].[%s] ERROR !", "shop", "Orders");
    WriteLine(window.workbench(), "Operation completed SUCCESSFULLY!");
  });
  controller.join();
  ASSERT_TRUE(ProcessEventsUntil([&] { return log->count() == before + 2; }));
  const QListWidgetItem* error = log->item(before);
  EXPECT_TRUE(error->text().endsWith(QStringLiteral("TABLE: Create [shop].[Orders] ERROR !")));
  EXPECT_EQ(error->foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(log->currentRow(), before + 1);  // the newest line is selected
}

TEST_F(WindowTest, ControllerStateFromAnotherThreadReachesItsPane) {
  std::thread controller([&] { window.workbench().setStatusText("Some Tasks are WORKING!!!"); });
  controller.join();
  EXPECT_TRUE(ProcessEventsUntil(
      [&] { return window.controllerState() == QStringLiteral("Some Tasks are WORKING!!!"); }));
}

TEST_F(WindowTest, MenuBarShowsTheMenuOfTheSelectedNodeKind) {
  FillTrees();
  struct Case {
    CDBTreeView* view;
    Path path;
    int shown;
    QStringList enabled;
  };
  const std::vector<Case> cases = {
      {window.targetTreeView(),
       kTargetRootPath,
       kDatabasesMenu,
       {"New Database", "Change Charset", "Change Storage Engine(InnoDB)"}},
      {window.sourceTreeView(), {kSourceRoot}, kDatabasesMenu, {}},
      {window.targetTreeView(),
       kShopPath,
       kDatabaseMenu,
       {"Delete Database", "Clear all tables", "Clear all Data"}},
      {window.sourceTreeView(), kSourceDatabasePath, kDatabaseMenu, {}},
      {window.targetTreeView(), kShopTablePath, kTableMenu, {"Drop Table", "Rename Table"}},
      {window.targetTreeView(), kShopViewPath, kTableMenu, {"Drop View"}},
      {window.sourceTreeView(), kSourceTablePath, kTableMenu, {"Migration Condition"}},
      {window.sourceTreeView(), kSourceViewPath, kTableMenu, {"Migration Condition"}},
      {window.targetTreeView(), kShopTablesPath, kNoObjectMenu, {}},
      {window.sourceTreeView(), kSourceFieldsPath, kNoObjectMenu, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.back().text);
    Click(c.view, c.path);
    for (int position : {kDatabasesMenu, kDatabaseMenu, kTableMenu}) {
      QMenu* menu = window.menuAt(position);
      EXPECT_EQ(menu->menuAction()->isVisible(), position == c.shown) << position;
      if (position != c.shown) continue;
      QStringList enabled;
      for (const QAction* action : menu->actions())
        if (action->isEnabled()) enabled << action->text();
      EXPECT_EQ(enabled, c.enabled);
    }
  }
}

TEST_F(WindowTest, NewDatabaseFromTheMenuNeedsTheTargetRoot) {
  FillTrees();
  Click(window.targetTreeView(), kShopPath);
  window.runCommand(kCmdNewDatabase);
  EXPECT_THAT(prompter.texts(Kind::Message),
              ElementsAre("Can only create database in TARGET!!!\nPlease Select Target ROOT to "
                          "create new database!"));
}

// A runner that holds its task until the test lets it go, so that the
// controller is seen running. Its state outlives the test body: the
// controller thread lets go of the runner only when the window goes.
class HeldRunner {
 public:
  ~HeldRunner() { release(); }
  TaskRunner runner() {
    return [state = state_](Workbench&, const ControllerContext&) {
      state->started = true;
      while (!state->released)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      return true;
    };
  }
  bool started() const { return state_->started; }
  void release() { state_->released = true; }

 private:
  struct State {
    std::atomic<bool> started{false};
    std::atomic<bool> released{false};
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

TEST_F(WindowTest, StartStopAsksBeforeStoppingRunningTasks) {
  HeldRunner held;
  window.workbench().setTaskRunners([&](TaskType) { return held.runner(); });
  window.workbench().tasks().append(std::make_shared<MigrationTask>(
      ConvertTable, MigrationTask::Names{.sourceObject = "Customers", .targetDatabase = "shop"}));
  StartController(window.workbench());
  ASSERT_TRUE(ProcessEventsUntil([&] { return held.started(); }));

  QAction* startStop = window.tasksViewer()->action(kCmdStartStopTasks);
  prompter.queueAnswer(false);  // Cancel: the tasks go on
  startStop->trigger();
  EXPECT_EQ(window.workbench().runState().load(), RunState::Running);
  prompter.queueAnswer(true);
  startStop->trigger();
  EXPECT_EQ(window.workbench().runState().load(), RunState::StopRequested);
  EXPECT_EQ(window.workbench().startStopImage(), kStopRequestedImage);
  EXPECT_THAT(prompter.texts(Kind::OkCancel), ElementsAre("Some Tasks is Processing, STOP ALL?",
                                                          "Some Tasks is Processing, STOP ALL?"));
  held.release();
}

TEST_F(WindowTest, ClosingWhileTasksRunAsksAndClosesOnceTheStopWasRequested) {
  HeldRunner held;
  window.workbench().setTaskRunners([&](TaskType) { return held.runner(); });
  window.workbench().tasks().append(std::make_shared<MigrationTask>(
      ConvertTable, MigrationTask::Names{.sourceObject = "Customers", .targetDatabase = "shop"}));
  window.show();
  StartController(window.workbench());
  ASSERT_TRUE(ProcessEventsUntil([&] { return held.started(); }));

  prompter.queueAnswer(false);  // Cancel keeps everything running
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.workbench().runState().load(), RunState::Running);

  prompter.queueAnswer(true);  // OK: stop, and close after the pause
  EXPECT_FALSE(window.close());
  EXPECT_EQ(window.workbench().runState().load(), RunState::StopRequested);
  EXPECT_TRUE(window.isVisible());  // the window did not wait on its thread
  EXPECT_TRUE(ProcessEventsUntil([&] { return !window.isVisible(); }));
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Some Tasks is Processing, STOP ALL and EXIT?",
                          "Some Tasks is Processing, STOP ALL and EXIT?"));
  held.release();
}

TEST_F(WindowTest, ClosingWithoutTasksAsksNothing) {
  window.show();
  EXPECT_TRUE(window.close());
  EXPECT_TRUE(prompter.prompts().empty());
}

}  // namespace
}  // namespace tablift::test

namespace tablift::test {
namespace {

void PressEscape(QWidget* widget) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
}

TEST_F(WindowTest, EscapeCancelsARenameAndNeverClosesTheWindow) {
  FillTrees();
  window.show();
  window.activateWindow();
  CDBTreeView* target = window.targetTreeView();
  QTreeWidgetItem* table = Click(target, kShopTablePath);
  window.runCommand(kCmdRenameTable);
  QWidget* editor = target->itemWidget(table, 0);
  if (editor == nullptr) editor = target->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  PressEscape(editor);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(table->text(0), QStringLiteral("orders"));

  // Wherever the focus is, Escape leaves the window, its log and its task
  // list where they are.
  for (QWidget* widget :
       std::vector<QWidget*>{target, window.sourceTreeView(), window.logView(),
                             window.tasksViewer(), window.outputTabs(), &window}) {
    widget->setFocus();
    PressEscape(widget);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isVisible()) << widget->metaObject()->className();
  }
  for (Qt::KeyboardModifier modifier : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, modifier);
    QCoreApplication::sendEvent(window.logView(), &press);
    EXPECT_TRUE(window.isVisible());
  }
  EXPECT_TRUE(prompter.prompts().empty());
}

}  // namespace
}  // namespace tablift::test

namespace tablift::test {
namespace {

TEST_F(WindowTest, MenuCommandsGoToTheTreeThatActsOnThem) {
  FillTrees();
  window.show();
  window.activateWindow();
  std::vector<int> source;
  std::vector<int> target;
  window.sourceTreeView()->setCommandHandler([&](int command) { source.push_back(command); });
  window.targetTreeView()->setCommandHandler([&](int command) { target.push_back(command); });

  Click(window.targetTreeView(), kTargetRootPath);
  window.sourceTreeView()->setFocus();
  window.runCommand(kCmdChangeCharset);  // only with the target tree focused
  EXPECT_TRUE(target.empty());
  window.targetTreeView()->setFocus();
  ASSERT_TRUE(ProcessEventsUntil([&] { return window.targetTreeView()->hasFocus(); }));
  window.runCommand(kCmdChangeCharset);
  window.runCommand(kCmdNewDatabase);
  window.runCommand(kCmdDropTable);
  window.runCommand(kCmdMigrationCondition);
  EXPECT_EQ(target, (std::vector<int>{kCmdChangeCharset, kCmdNewDatabase, kCmdDropTable}));
  EXPECT_EQ(source, std::vector<int>{kCmdMigrationCondition});
}

}  // namespace
}  // namespace tablift::test
