#include "ui/tasks_viewer.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "engine/controller_commands.h"
#include "engine/queue_migration.h"
#include "engine/task_list_rows.h"
#include "engine/workbench.h"
#include "ui/command_ids.h"
#include "ui/icons.h"

namespace tablift {
namespace {

constexpr int kProgressColumn = 1;

QProgressBar* MakeProgressBar(int progress) {
  auto* bar = new QProgressBar;
  bar->setRange(0, 100);
  bar->setValue(progress);
  bar->setTextVisible(false);
  bar->setObjectName(QStringLiteral("TaskProgress"));
  bar->setStyleSheet(
      QStringLiteral("QProgressBar { border: none; background: white; margin: 2px; }"
                     "QProgressBar::chunk { background-color: rgb(27, 156, 213); }"));
  return bar;
}

}  // namespace

TasksViewer::TasksViewer(Workbench& window, QWidget* parent) : QWidget(parent), window_(window) {
  setObjectName(QStringLiteral("TasksViewer"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  toolBar_ = new QToolBar(this);
  toolBar_->setIconSize(QSize(16, 16));
  const auto add = [this](int image, int command, const char* tip) {
    QAction* action = toolBar_->addAction(TaskToolIcon(image), QString::fromLatin1(tip));
    action->setToolTip(QString::fromLatin1(tip));
    action->setData(command);
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    return action;
  };
  clearAll_ = add(4, kCmdClearAllTasks, "Clear All Tasks");
  remove_ = add(3, kCmdDeleteTask, "Delete");
  down_ = add(2, kCmdItemDown, "Item Down");
  up_ = add(1, kCmdItemUp, "Item Up");
  startStop_ = add(5, kCmdStartStopTasks, "Stop Tasks");
  layout->addWidget(toolBar_);

  table_ = new QTableWidget(0, static_cast<int>(kTaskListColumns.size()), this);
  table_->setObjectName(QStringLiteral("TaskList"));
  QStringList headers;
  for (const TaskListColumn& column : kTaskListColumns)
    headers << QString::fromLatin1(column.header.data(),
                                   static_cast<qsizetype>(column.header.size()));
  table_->setHorizontalHeaderLabels(headers);
  for (int i = 0; i < static_cast<int>(kTaskListColumns.size()); ++i)
    table_->setColumnWidth(i, kTaskListColumns[i].width > 0 ? kTaskListColumns[i].width : 100);
  table_->setShowGrid(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->horizontalHeader()->setHighlightSections(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  // Texts are never cut ("MIGRA..."): the text columns follow their content;
  // the bar keeps its width.
  for (int i = 0; i < static_cast<int>(kTaskListColumns.size()); ++i) {
    if (i != kTaskListProgressColumn)
      table_->horizontalHeader()->setSectionResizeMode(i, QHeaderView::ResizeToContents);
  }
  layout->addWidget(table_);
  table_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu* menu = contextMenu();
    menu->exec(table_->viewport()->mapToGlobal(at));
    menu->deleteLater();
  });

  // The controller changes the button's image and tool tip on its thread.
  window_.setStartStopListener([this] {
    if (!startStopQueued_.exchange(true))
      QMetaObject::invokeMethod(this, &TasksViewer::showStartStop, Qt::QueuedConnection);
  });
  showStartStop();
}

TasksViewer::~TasksViewer() {
  window_.setStartStopListener({});
}

QAction* TasksViewer::action(int command) const {
  for (QAction* action : toolBar_->actions())
    if (action->data().toInt() == command) return action;
  return nullptr;
}

void TasksViewer::showStartStop() {
  startStopQueued_ = false;
  startStop_->setIcon(StartStopIcon(window_.startStopImage()));
  startStop_->setToolTip(QString::fromStdString(window_.startStopToolTip()));
}

int TasksViewer::selectedRow() const {
  const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
  if (!ranges.isEmpty()) return ranges.first().topRow();
  return table_->currentRow();
}

void TasksViewer::rebuild() {
  ++rebuilds_;
  const int remembered = selectedRow();
  const int horizontal = table_->horizontalScrollBar()->value();
  const int vertical = table_->verticalScrollBar()->value();

  const std::vector<TaskListRow> rows = BuildTaskListRows(window_.tasks());
  table_->setUpdatesEnabled(false);
  table_->clearSelection();
  table_->setRowCount(0);
  table_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < static_cast<int>(rows[r].cells.size()); ++c)
      table_->setItem(r, c, new QTableWidgetItem(QString::fromStdString(rows[r].cells[c])));
    table_->setCellWidget(r, kProgressColumn, MakeProgressBar(rows[r].progress));
  }
  if (remembered >= 0 && remembered < table_->rowCount()) table_->selectRow(remembered);
  table_->horizontalScrollBar()->setValue(horizontal);
  table_->verticalScrollBar()->setValue(vertical);
  table_->setUpdatesEnabled(true);
}

QMenu* TasksViewer::contextMenu() {
  auto* menu = new QMenu(this);
  QAction* resume = menu->addAction(QStringLiteral("Resume"));
  resume->setData(kCmdResumeTask);
  const std::vector<TaskPtr> records = window_.tasks().snapshot();
  const int row = selectedRow();
  resume->setEnabled(row >= 0 && row < static_cast<int>(records.size()) &&
                     CanResume(*records[static_cast<std::size_t>(row)]));
  connect(resume, &QAction::triggered, this, [this] { runCommand(kCmdResumeTask); });
  return menu;
}

void TasksViewer::runCommand(int command) {
  TaskList& tasks = window_.tasks();
  const int row = selectedRow();
  switch (command) {
    case kCmdClearAllTasks:
      tasks.clear();
      rebuild();
      break;
    case kCmdDeleteTask:
      if (tasks.remove(row)) rebuild();
      break;
    case kCmdItemUp:
      if (tasks.moveUp(row)) {
        rebuild();
        table_->selectRow(row - 1);
      }
      break;
    case kCmdItemDown:
      if (tasks.moveDown(row)) {
        rebuild();
        table_->selectRow(row + 1);
      }
      break;
    case kCmdResumeTask:
      if (ResumeTask(window_, row) != nullptr) rebuild();
      break;
    case kCmdStartStopTasks:
      StartStopCommand(window_);
      showStartStop();
      break;
    default:
      break;
  }
}

}  // namespace tablift
