#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMetaObject>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <filesystem>
#include <fstream>

#include "core/write_line.h"
#include "data_access/working_directories.h"
#include "engine/config_file.h"
#include "engine/connect_side.h"
#include "engine/controller_commands.h"
#include "engine/driver_check.h"
#include "engine/driver_installer.h"
#include "engine/migration_condition.h"
#include "engine/queue_backup.h"
#include "engine/queue_migration.h"
#include "engine/target_management.h"
#include "engine/target_settings.h"
#include "tablift_version.h"
#include "ui/background_drag.h"
#include "ui/command_ids.h"
#include "ui/condition_dialog.h"
#include "ui/config_dialog.h"
#include "ui/db_tree_view.h"
#include "ui/driver_check_dialog.h"
#include "ui/icons.h"
#include "ui/log_view.h"
#include "ui/menu_shortcuts.h"
#include "ui/tasks_viewer.h"

namespace tablift {
namespace {

QString ProductText() {
  return QStringLiteral("Tablift Version: %1.%2")
      .arg(TABLIFT_VERSION_MAJOR)
      .arg(TABLIFT_VERSION_MINOR);
}

QString ClockText() {
  return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

const char kTipsStart[] = "F1 to Help:\n";
const char kTipsWelcome[] =
    "Before you fill out connection properties, Please confirm that your ODBC/OLEDB config is "
    "true !";

// One side of the outlook area: a title bar over a tree.
QWidget* FolderPane(const QString& title, QWidget* content) {
  auto* pane = new QWidget;
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* caption = new QLabel(title, pane);
  caption->setObjectName(QStringLiteral("FolderTitle"));
  caption->setStyleSheet(QStringLiteral(
      "QLabel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4f6fa, stop:1 "
      "#d5dce8); border: 1px solid #a0a8b8; padding: 3px 6px; font-weight: bold; }"));
  layout->addWidget(caption);
  layout->addWidget(content);
  return pane;
}

}  // namespace

MainWindow::MainWindow(Prompter* prompter)
    : qtPrompter_(this),
      workbench_(std::make_unique<Workbench>(prompter != nullptr ? *prompter : qtPrompter_)) {
  // The one-second timer exists before anything else, as the clock's source.
  timer_ = new QTimer(this);
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, &MainWindow::tick);
  timer_->start();

  buildMenus();
  // Access files dropped anywhere on the window are cloned.
  setAcceptDrops(true);
  setWindowTitle(ProductText());
  setWindowIcon(ToolIcon(2));

  // Settings, conditions and caches live in the program's directory, named
  // in full; the condition file exists from the start.
  std::error_code error;
  const std::filesystem::path conditionFile = ProgramDirectory() / "Condition.cfg";
  if (!std::filesystem::exists(conditionFile, error)) std::ofstream create(conditionFile);
  workbench_->setConditionFile(conditionFile);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 2, 4, 2);
  auto* areas = new QSplitter(Qt::Vertical, central);
  areas->setChildrenCollapsible(false);
  areas->addWidget(buildTrees());
  areas->addWidget(buildOutput());
  areas->setStretchFactor(0, 3);
  areas->setStretchFactor(1, 2);
  layout->addWidget(areas);
  setCentralWidget(central);
  buildMiniToolBar();
  buildStatusBar();

  qtPrompter_.setHintHandler([this](const QString& hint) { showHint(hint); });
  workbench_->setStatusListener([this](const std::string& text) {
    const QString message = QString::fromStdString(text);
    QMetaObject::invokeMethod(
        this, [this, message] { statePane_->setText(message); }, Qt::QueuedConnection);
  });
  // A changed task list shows at the next tick; the tick is posted at once.
  workbench_->tasks().setChangeNotifier(
      [this] { QMetaObject::invokeMethod(this, &MainWindow::tick, Qt::QueuedConnection); });

  // The end of a run shows its summary; the window asks for it on its own
  // thread.
  workbench_->setRunEndListener([this] {
    QMetaObject::invokeMethod(this, &MainWindow::showRunSummary, Qt::QueuedConnection);
  });

  loadSettings();

  resize(1024, 768);
  targetTree_->setFocus();
  WriteLine(*workbench_, "%s started", ProductText().toStdString().c_str());
}

MainWindow::~MainWindow() {
  closing_ = true;
  workbench_->setRunEndListener({});
  timer_->stop();
  workbench_->setStatusListener({});
  workbench_->tasks().setChangeNotifier({});
  qtPrompter_.setHintHandler({});
  // The views listen to the workbench: they go before it does, and the
  // controller thread, which writes to them, before the views. The thread
  // may be waiting for an answer from this thread; events are handled while
  // it winds down, and questions are no longer put to the user.
  workbench_->runState().store(RunState::StopRequested);
  qtPrompter_.setClosing();
  workbench_->controllerThread().requestShutdown();
  while (workbench_->controllerThread().running()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  workbench_->controllerThread().shutdown();
  delete centralWidget();
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  const auto addMenu = [&](const char* caption) {
    QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
    menus_.push_back(menu);
    return menu;
  };
  const auto addEntry = [this](QMenu* menu, const char* caption, int command) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setData(command);
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    actions_[command] = action;
    return action;
  };
  QMenu* connectMenu = addMenu("&Connect");
  addEntry(connectMenu, "&Config", kCmdConfig)->setIcon(ToolIcon(0));
  addEntry(connectMenu, "Co&nnect", kCmdConnect)->setIcon(ToolIcon(1));
  addEntry(connectMenu, "Driver Check", kCmdDriverCheck);
  connectMenu->addSeparator();
  addEntry(connectMenu, "E&xit", kCmdExit);
  QMenu* operation = addMenu("&Operation");
  addEntry(operation, "Migrate", kCmdMigrate)->setIcon(ToolIcon(2));
  addEntry(operation, "Clone Access Files...", kCmdCloneFiles);
  addEntry(operation, "Delete Selected", kCmdDeleteSelected)->setIcon(ToolIcon(3));
  addEntry(operation, "&Backup", kCmdBackup)->setIcon(ToolIcon(4));
  operation->addSeparator();
  addEntry(operation, "&Start/Stop Tasks", kCmdStartStopTasks);
  addEntry(operation, "&Refresh", kCmdRefresh);
  QMenu* databases = addMenu("D&atabases");
  addEntry(databases, "New Database", kCmdNewDatabase);
  addEntry(databases, "Change Charset", kCmdChangeCharset);
  addEntry(databases, StorageEngineMenuText(workbench_->targetTree().storageEngine()).c_str(),
           kCmdStorageEngine);
  QMenu* database = addMenu("&Database");
  addEntry(database, "Delete Database", kCmdDeleteDatabase);
  addEntry(database, "Clear all tables", kCmdClearAllTables);
  addEntry(database, "Clear all Data", kCmdClearAllData);
  QMenu* table = addMenu("&Table");
  addEntry(table, "Migration Condition", kCmdMigrationCondition);
  addEntry(table, "Drop Table", kCmdDropTable);
  addEntry(table, "Drop View", kCmdDropView);
  addEntry(table, "Rename Table", kCmdRenameTable);
  QMenu* helpMenu = addMenu("&Help");
  addEntry(helpMenu, "&Manual", kCmdManual);
  addEntry(helpMenu, "&About Tablift", kCmdAbout);
  for (const auto& [command, keys] : MenuShortcuts())
    if (QAction* action = commandAction(command)) action->setShortcut(keys);
  // Nothing is selected yet: the object menus' entries are greyed.
  for (int position : {kDatabasesMenu, kDatabaseMenu, kTableMenu})
    for (QAction* action : menus_[position]->actions())
      action->setEnabled(false);
}

void MainWindow::buildMiniToolBar() {
  auto* tools = new QToolBar(QStringLiteral("Minitools"), this);
  tools->setObjectName(QStringLiteral("Minitools"));
  tools->setMovable(false);
  tools->setIconSize(QSize(24, 24));
  tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  struct Button {
    const char* caption;
    const char* tip;
    int image;
    int command;
  };
  const Button buttons[] = {
      {" Configure ", "Database Connections Config", 0, kCmdToolConfigure},
      {" Connect ", "Connect the DataSources", 1, kCmdToolConnect},
      {" Migrate ", "Convert from source into target", 2, kCmdToolMigrate},
      {" Delete ", "Delete the selected object", 3, kCmdToolDelete},
      {" Backup ", "Backup the selected object", 4, kCmdToolBackup},
  };
  for (const Button& button : buttons) {
    QAction* action = tools->addAction(ToolIcon(button.image), QString::fromLatin1(button.caption));
    // The keys are the menu entry's: the tip names them, the menu owns them.
    const QKeySequence keys = MenuShortcutOf(button.command);
    action->setToolTip(
        keys.isEmpty() ? QString::fromLatin1(button.tip)
                       : QStringLiteral("%1 (%2)").arg(QString::fromLatin1(button.tip),
                                                       keys.toString(QKeySequence::NativeText)));
    action->setData(button.command);
    const int command = button.command;
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    actions_[command] = action;
  }
  addToolBar(Qt::TopToolBarArea, tools);
}

QWidget* MainWindow::buildTrees() {
  auto* outlook = new QSplitter(Qt::Horizontal);
  outlook->setObjectName(QStringLiteral("outlook"));
  outlook->setChildrenCollapsible(false);
  outlook->setStyleSheet(QStringLiteral("QSplitter::handle { background: #a0a8b8; }"));
  outlook->setHandleWidth(3);
  sourceTree_ = new CDBTreeView(*workbench_, Workbench::kSourceSide);
  targetTree_ = new CDBTreeView(*workbench_, Workbench::kTargetSide);
  outlook->addWidget(FolderPane(QStringLiteral("Access"), sourceTree_));
  outlook->addWidget(FolderPane(QStringLiteral("MySQL"), targetTree_));
  outlook->setSizes({1, 1});
  for (CDBTreeView* tree : {sourceTree_, targetTree_}) {
    tree->setMenuStateListener([this](const MenuBarState& state) { applyMenuState(state); });
  }
  // The source tree's one command: the condition of the selected table.
  sourceTree_->setCommandHandler([this](int command) {
    if (command == kCmdMigrationCondition) openConditionDialog();
  });
  targetTree_->setCommandHandler([this](int command) { runTargetTreeCommand(command); });
  targetTree_->setRenameHandler([this](const std::string& oldName, const std::string& newName) {
    return renameTargetTable(oldName, newName);
  });
  return outlook;
}

QWidget* MainWindow::buildOutput() {
  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("Output"));
  tabs_->setIconSize(QSize(16, 16));
  tabs_->setDocumentMode(false);
  log_ = new LogView(workbench_->output());
  tabs_->addTab(log_, TabIcon(8), QStringLiteral("Log"));
  tasks_ = new TasksViewer(*workbench_);
  tabs_->addTab(tasks_, TabIcon(2), QStringLiteral("Task List"));
  tips_ = new QTextEdit(this);
  tips_->setObjectName(QStringLiteral("TipsPane"));
  tips_->setReadOnly(true);
  tips_->hide();
  QTextCharFormat format;
  format.setFontWeight(QFont::Bold);
  format.setFontPointSize(12);
  format.setForeground(QColor(255, 0, 0));
  QTextCursor cursor(tips_->document());
  cursor.insertText(QString::fromLatin1(kTipsStart), format);
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(QString::fromLatin1(kTipsWelcome), format);
  tabs_->setCurrentIndex(kTaskListTab);
  // A tab that becomes current is caught up at once.
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == kTaskListTab) workbench_->tasks().refreshClock().requestRefresh();
  });
  return tabs_;
}

void MainWindow::buildStatusBar() {
  productPane_ = new QLabel(ProductText());
  statePane_ = new QLabel(QStringLiteral("Main Controller:IDLE"));
  statePane_->setObjectName(QStringLiteral("ControllerState"));
  clockPane_ = new QLabel(ClockText());
  clockPane_->setObjectName(QStringLiteral("Clock"));
  clockPane_->setMinimumWidth(
      clockPane_->fontMetrics().horizontalAdvance(QStringLiteral("88:88:88")) + 8);
  statusBar()->addWidget(productPane_, 5);
  statusBar()->addWidget(statePane_, 2);
  statusBar()->addPermanentWidget(clockPane_);
}

QMenu* MainWindow::menuAt(int position) const {
  return position >= 0 && position < static_cast<int>(menus_.size()) ? menus_[position] : nullptr;
}

QAction* MainWindow::commandAction(int command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

QString MainWindow::controllerState() const {
  return statePane_->text();
}

void MainWindow::applyMenuState(const MenuBarState& state) {
  for (int position : {kDatabasesMenu, kDatabaseMenu, kTableMenu}) {
    QMenu* menu = menus_[position];
    const bool shown = position == state.shownMenu;
    menu->menuAction()->setVisible(shown);
    if (!shown) continue;
    for (QAction* action : menu->actions())
      action->setEnabled(state.enabled.count(action->data().toInt()) > 0);
  }
}

void MainWindow::tick() {
  clockPane_->setText(ClockText());
  if (workbench_->tasks().refreshClock().tick(tabs_->currentIndex() == kTaskListTab))
    tasks_->rebuild();
}

void MainWindow::forwardToTree(CDBTreeView* tree, int command) {
  tree->runCommand(command);
}

void MainWindow::runCommand(int command) {
  switch (command) {
    case kCmdConnect:
    case kCmdToolConnect:
      ConnectCommand(*workbench_);
      break;
    case kCmdMigrate:
    case kCmdToolMigrate:
      MigrateCommand(*workbench_);
      break;
    case kCmdExit:
      close();
      break;
    case kCmdConfig:
    case kCmdToolConfigure:
      openConfigDialog();
      break;
    case kCmdDriverCheck:
      openDriverCheckDialog();
      break;
    case kCmdDeleteSelected:
    case kCmdToolDelete:
      tellErrorsOf([this] { DeleteSelectedCommand(*workbench_); });
      break;
    case kCmdBackup:
    case kCmdToolBackup:
      BackupCommand(*workbench_);
      break;
    case kCmdCloneFiles:
      chooseAccessFilesToClone();
      break;
    case kCmdNewDatabase:
      if (workbench_->targetTree().selection().kind() != NodeKind::Root) {
        workbench_->prompter().showMessage(
            "Can only create database in TARGET!!!\nPlease Select Target ROOT to create new "
            "database!",
            MessageIcon::Information);
        break;
      }
      forwardToTree(targetTree_, command);
      break;
    case kCmdChangeCharset:
      if (targetTree_->hasFocus()) forwardToTree(targetTree_, command);
      break;
    case kCmdStorageEngine:
    case kCmdDeleteDatabase:
    case kCmdClearAllTables:
    case kCmdClearAllData:
    case kCmdDropTable:
    case kCmdDropView:
    case kCmdRenameTable:
      forwardToTree(targetTree_, command);
      break;
    case kCmdMigrationCondition:
      forwardToTree(sourceTree_, command);
      break;
    case kCmdManual:
      openManual();
      break;
    case kCmdAbout:
      showAbout();
      break;
    case kCmdStartStopTasks:
      tasks_->runCommand(kCmdStartStopTasks);
      break;
    case kCmdRefresh:
      refreshTrees();
      break;
    default:
      break;
  }
}

void MainWindow::loadSettings() {
  // The settings file's switches take effect at once; its connection
  // properties are what Connect opens until the configuration says otherwise.
  const ConfigSettings settings = LoadConfig(ConfigFilePath(), &workbench_->prompter());
  setTipsShown(settings.showTips);
  autoBackupFlag_ = settings.autoBackup;
  workbench_->setNameRule(settings.names);
  // The engine's own defaults are the historic MyISAM and latin1; the window
  // starts from the settings, whose defaults are the command line's.
  workbench_->targetTree().setStorageEngine(settings.storageEngine);
  workbench_->setCharset(settings.charset);
  if (QAction* entry = commandAction(kCmdStorageEngine))
    entry->setText(QString::fromStdString(StorageEngineMenuText(settings.storageEngine)));
  if (!settings.configFromFile) return;
  ConnectionProfile source = settings.source;
  source.providerName = OfferedProvider(kDbmsAccessName, source.providerName);
  ConnectionProfile target = settings.target;
  target.providerName = OfferedProvider(kDbmsMySqlName, target.providerName);
  workbench_->sourceProfile() = HandOverProfile(source);
  workbench_->targetProfile() = HandOverProfile(target);
}

void MainWindow::openConfigDialog() {
  ConfigDialog dialog(*workbench_, this);
  // The dialog's "Tips" setting shows at once, also when it is then closed.
  setTipsShown(dialog.settings().showTips);
  connect(&dialog, &ConfigDialog::tipsShownChanged, this, &MainWindow::setTipsShown);
  connect(&dialog, &ConfigDialog::connectRequested, this, [this](bool autoBackup) {
    autoBackupFlag_ = autoBackup;
    QMetaObject::invokeMethod(
        this, [this] { runCommand(kCmdToolConnect); }, Qt::QueuedConnection);
    tabs_->setCurrentIndex(kTaskListTab);
  });
  if (dialogHook_) dialogHook_(dialog);
  dialog.exec();
}

void MainWindow::openDriverCheckAtStart() {
  if (!DriversMissing(AccessDriverRows(), MySqlDriverRows()) &&
      !LoadConfig(ConfigFilePath()).driverCheckAtStart)
    return;
  openDriverCheckDialog();
}

void MainWindow::openDriverCheckDialog() {
  DriverCheckDialog dialog(AccessDriverRows(), MySqlDriverRows(), this,
                           LoadConfig(ConfigFilePath()).driverCheckAtStart);
  connect(&dialog, &DriverCheckDialog::showAtStartChanged, this, [this](bool shown) {
    std::string error;
    if (!SaveConfigFlag(ConfigFilePath(), "DriverCheck", shown, &error))
      workbench_->prompter().showMessage("The setting was not saved: " + error, MessageIcon::Error);
  });
  connect(&dialog, &DriverCheckDialog::openConfigRequested, this, [this] {
    QMetaObject::invokeMethod(
        this, [this] { runCommand(kCmdToolConfigure); }, Qt::QueuedConnection);
  });
  connect(&dialog, &DriverCheckDialog::installRequested, this,
          [this, &dialog] { installShippedDriver(dialog); });
  if (dialogHook_) dialogHook_(dialog);
  dialog.exec();
}

void MainWindow::openConditionDialog() {
  const ConditionSubject subject = ConditionSubjectOf(workbench_->sourceTree().selection().path);
  if (subject.table.empty()) return;  // only tables and views carry conditions
  ConditionDialog dialog(*workbench_, subject, this);
  if (dialogHook_) dialogHook_(dialog);
  dialog.exec();
}

void MainWindow::installShippedDriver(QDialog& checkDialog) {
  Prompter& prompter = workbench_->prompter();
  const std::optional<std::string> folder =
      prompter.chooseFolder("Please choose install directory:", "");
  if (folder) {
    const DriverInstallResult result = InstallShippedMySqlDriver(*folder);
    prompter.showMessage(result.message,
                         result.installed ? MessageIcon::Information : MessageIcon::Error);
    // A failed installation leaves the check open as it was.
    if (!result.installed) return;
    checkDialog.accept();
  }
  // A fresh check shows the state after the installation.
  QMetaObject::invokeMethod(
      this, [this] { runCommand(kCmdDriverCheck); }, Qt::QueuedConnection);
}

void MainWindow::showHint(const QString& hint) {
  // The hint goes directly under the pane's first line, "F1 to Help:".
  QTextCharFormat format;
  format.setFontWeight(QFont::Bold);
  format.setFontPointSize(12);
  format.setForeground(QColor(255, 0, 0));
  QTextCursor cursor(tips_->document());
  cursor.setPosition(static_cast<int>(sizeof(kTipsStart) - 1));
  cursor.insertText(hint + QLatin1Char('\n'), format);
  // The pane is a tab only once the settings ask for it; a hint must be seen
  // all the same.
  setTipsShown(true);
  tabs_->setCurrentWidget(tips_);
}

void MainWindow::setTipsShown(bool shown) {
  const int index = tabs_->indexOf(tips_);
  if (shown && index < 0) tabs_->addTab(tips_, TabIcon(10), QStringLiteral("Tips"));
  if (!shown && index >= 0) {
    tabs_->removeTab(index);
    tips_->hide();
  }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
  if (!StartBackgroundDrag(*this, event)) QMainWindow::mousePressEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Escape never closes the main window: one stray key press would lose the
  // log and the task list. Dialogs and an in-place rename still use it, and
  // they see the key before it reaches here.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closeApproved_) {
    timer_->stop();
    event->accept();
    return;
  }
  if (closeQueryPending_) {  // the controller is being given time to stop
    event->ignore();
    return;
  }
  switch (QueryClose(*workbench_)) {
    case CloseDecision::Close:
      closeApproved_ = true;
      timer_->stop();
      event->accept();
      return;
    case CloseDecision::KeepOpen:
      event->ignore();
      return;
    case CloseDecision::AskAgain:
      // Never sleep here: the window keeps drawing and the controller's
      // status texts keep arriving while it winds down.
      event->ignore();
      closeQueryPending_ = true;
      QTimer::singleShot(kCloseRecheckDelay, this, [this] {
        closeQueryPending_ = false;
        close();
      });
      return;
  }
}

}  // namespace tablift
