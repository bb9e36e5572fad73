#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

#include "core/prompter.h"
#include "engine/workbench.h"
#include "ui/qt_prompter.h"
#include "ui/tree_menus.h"

class QDialog;
class QLabel;
class QMenu;
class QTabWidget;
class QTextEdit;
class QTimer;
class QUrl;

namespace tablift {

class CDBTreeView;
class LogView;
class TasksViewer;

// Output tabs, by position.
enum OutputTab : int { kLogTab = 0, kTaskListTab = 1, kTipsTab = 2 };

// The desktop program's main window: the two database trees side by side, the
// mini tool bar, the output tabs ("Log", "Task List", "Tips"), the menu bar
// and the status bar with the controller's state and the clock. It owns the
// workbench the engine runs on and routes every command to it.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Questions go to `prompter` when one is given (tests script the answers),
  // else to Qt dialogs.
  explicit MainWindow(Prompter* prompter = nullptr);
  ~MainWindow() override;

  Workbench& workbench() { return *workbench_; }
  // The window only takes a screenshot: its own dialogs answer at once.
  void setUnattended() { qtPrompter_.setUnattended(); }
  CDBTreeView* sourceTreeView() const { return sourceTree_; }
  CDBTreeView* targetTreeView() const { return targetTree_; }
  LogView* logView() const { return log_; }
  TasksViewer* tasksViewer() const { return tasks_; }
  QTabWidget* outputTabs() const { return tabs_; }
  QTextEdit* tipsPane() const { return tips_; }
  // The menu bar's menu at a position (0 "&Connect" ... 6 "&About").
  QMenu* menuAt(int position) const;
  // The menu bar or mini tool bar action of a command id.
  QAction* commandAction(int command) const;
  QString controllerState() const;

  // Routes one command as the menu bar and the mini tool bar do.
  void runCommand(int command);
  // One tick of the one-second timer.
  void tick();
  // Adds or removes the "Tips" tab (the configuration dialog's "Tips"
  // setting).
  void setTipsShown(bool shown);
  // "Clone Access Files...": the files chosen (several at once) or dropped on
  // the window, one clone task each (file_clones.cpp). Tests give the
  // chooser; by default it is the file dialog.
  void setFilesChooser(std::function<QStringList()> chooser) { chooseFiles_ = std::move(chooser); }
  void cloneAccessFiles(const QStringList& files);
  // The configuration dialog's Auto Backup switch, as the settings file or
  // the last Connect from the dialog left it.
  bool autoBackupFlag() const { return autoBackupFlag_; }
  // Called with the configuration, driver check and condition dialogs before they run
  // modally (tests drive them from here).
  void setDialogHook(std::function<void(QDialog&)> hook) { dialogHook_ = std::move(hook); }
  void openConfigDialog();
  void openDriverCheckDialog();
  // At start the driver check opens only when a side misses what it needs,
  // or when its "Show at start" is set.
  void openDriverCheckAtStart();
  // The migration condition of the table or view selected in the source tree.
  void openConditionDialog();
  // Shows the menus that fit the node selected in a tree.
  void applyMenuState(const MenuBarState& state);
  // The summary of the run that has just ended, unless it did nothing to
  // report (run_summary_window.cpp).
  void showRunSummary();
  // How F1 and "&Manual" open the manual (the desktop's opener unless a test
  // gives another); false when it could not be opened.
  void setUrlOpener(std::function<bool(const QUrl&)> opener) { urlOpener_ = std::move(opener); }
  // The manual F1 opens: the first of `candidates` that exists (the
  // installed places by default, see help_commands.cpp).
  void setManualCandidates(QStringList candidates) { manualCandidates_ = std::move(candidates); }
  // The About box's text: name, version, the versions of Qt, libmdb and the
  // MySQL ODBC driver, and the licence.
  QString aboutText() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenus();
  void buildMiniToolBar();
  QWidget* buildTrees();
  QWidget* buildOutput();
  void buildStatusBar();
  void chooseAccessFilesToClone();
  void showHint(const QString& hint);
  void forwardToTree(CDBTreeView* tree, int command);
  void openManual();
  void showAbout();
  // Re-reads the catalogs of the connected sides (refresh_command.cpp).
  void refreshTrees();
  void loadSettings();
  void installShippedDriver(QDialog& checkDialog);
  // The target tree's management commands (target_tree_commands.cpp).
  void runTargetTreeCommand(int command);
  void runTargetTreeStep(int command);
  // Runs a command on the target, then shows the errors it logged in one
  // message box.
  void tellErrorsOf(const std::function<void()>& step);
  void changeCharset();
  void toggleStorageEngine();
  bool renameTargetTable(const std::string& oldName, const std::string& newName);

  QtPrompter qtPrompter_;
  std::unique_ptr<Workbench> workbench_;
  CDBTreeView* sourceTree_ = nullptr;
  CDBTreeView* targetTree_ = nullptr;
  LogView* log_ = nullptr;
  TasksViewer* tasks_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QTextEdit* tips_ = nullptr;
  QLabel* productPane_ = nullptr;
  QLabel* statePane_ = nullptr;
  QLabel* clockPane_ = nullptr;
  QTimer* timer_ = nullptr;
  std::vector<QMenu*> menus_;
  std::map<int, QAction*> actions_;
  std::function<QStringList()> chooseFiles_;
  bool closeApproved_ = false;
  bool autoBackupFlag_ = false;
  std::function<void(QDialog&)> dialogHook_;
  bool closeQueryPending_ = false;
  bool closing_ = false;
  std::function<bool(const QUrl&)> urlOpener_;
  QStringList manualCandidates_;
};

}  // namespace tablift
