#pragma once

#include <QWidget>
#include <atomic>

class QAction;
class QMenu;
class QTableWidget;
class QToolBar;

namespace tablift {

class Workbench;

// The "Task List" tab: a small tool bar (Clear All Tasks, Delete, Item Down,
// Item Up, Start/Stop) over a table of the queued tasks, one row per record
// with a progress bar in its "Progress" cell. The table is rebuilt from the
// records when the main window's timer says so; a rebuild keeps the selected
// row and the scroll position.
class TasksViewer : public QWidget {
  Q_OBJECT
 public:
  TasksViewer(Workbench& window, QWidget* parent = nullptr);
  ~TasksViewer() override;

  QTableWidget* table() const { return table_; }
  QAction* action(int command) const;
  // How many times the table was rebuilt (the view's own count).
  int rebuildCount() const { return rebuilds_; }

  void rebuild();
  // The tool bar's commands, by their ids, and the context menu's Resume.
  void runCommand(int command);
  // The context menu of the selected row: "Resume" on a migration that ended
  // FAILURE or was stopped, disabled otherwise. The caller owns it.
  QMenu* contextMenu();

 private:
  void showStartStop();
  int selectedRow() const;

  Workbench& window_;
  QToolBar* toolBar_ = nullptr;
  QTableWidget* table_ = nullptr;
  QAction* clearAll_ = nullptr;
  QAction* remove_ = nullptr;
  QAction* down_ = nullptr;
  QAction* up_ = nullptr;
  QAction* startStop_ = nullptr;
  std::atomic<bool> startStopQueued_{false};
  int rebuilds_ = 0;
};

}  // namespace tablift
