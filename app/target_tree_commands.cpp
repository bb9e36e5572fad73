// The main window's side of the target tree's management commands: the
// dialogs and menu texts. What the commands do is the engine's.
#include <QAction>

#include "app/main_window.h"
#include "core/connection_profile.h"
#include "core/write_line.h"
#include "engine/config_file.h"
#include "engine/controller_commands.h"
#include "engine/target_management.h"
#include "engine/target_settings.h"
#include "ui/charset_dialog.h"
#include "ui/command_ids.h"
#include "ui/db_tree_view.h"

namespace tablift {
namespace {

// The sequence number of the newest log line; 0 while the log is empty.
std::uint64_t NewestLine(OutputPane& output) {
  const std::vector<LogLine> lines = output.lines();
  return lines.empty() ? 0 : lines.back().sequence;
}

// The error and server texts the log got after line `after`, one a line.
std::string ErrorsAfter(OutputPane& output, std::uint64_t after) {
  std::string errors;
  for (const LogLine& line : output.lines()) {
    if (line.sequence <= after || !line.hasRecord) continue;
    if (line.textColour != kErrorRed && line.textColour != kProviderOrange) continue;
    if (!errors.empty()) errors += "\n";
    errors += line.text;
  }
  return errors;
}

}  // namespace

void MainWindow::tellErrorsOf(const std::function<void()>& step) {
  // A refused command (a table a foreign key still refers to, say) is told
  // in a message box, not only as a coloured log line the user may not see.
  const std::uint64_t before = NewestLine(workbench_->output());
  step();
  if (const std::string errors = ErrorsAfter(workbench_->output(), before); !errors.empty())
    workbench_->prompter().showMessage(errors, MessageIcon::Error);
}

void MainWindow::runTargetTreeCommand(int command) {
  tellErrorsOf([this, command] { runTargetTreeStep(command); });
}

void MainWindow::runTargetTreeStep(int command) {
  Workbench& window = *workbench_;
  switch (command) {
    case kCmdNewDatabase:
      NewDatabaseCommand(window);
      break;
    case kCmdDeleteDatabase:
      DeleteDatabaseCommand(window, window.targetTree().selection());
      break;
    case kCmdClearAllTables:
      ClearAllTablesCommand(window, window.targetTree().selection());
      break;
    case kCmdClearAllData:
      ClearAllDataCommand(window, window.targetTree().selection());
      break;
    case kCmdDropTable:
      DropTableCommand(window, window.targetTree().selection());
      break;
    case kCmdDropView:
      DropViewCommand(window, window.targetTree().selection());
      break;
    case kCmdChangeCharset:
      changeCharset();
      break;
    case kCmdStorageEngine:
      toggleStorageEngine();
      break;
    default:
      break;
  }
}

void MainWindow::changeCharset() {
  if (workbench_->targetTree().dbmsKind() != kDbmsMySql || !MayRunBesideTasks(*workbench_)) return;
  CharsetDialog dialog(workbench_->charset(), this);
  if (dialogHook_) dialogHook_(dialog);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!ChangeCharset(*workbench_, dialog.chosenName())) return;
  // The next start begins where this one left off.
  if (std::string error; !SaveConfigCharset(ConfigFilePath(), workbench_->charset(), &error))
    WriteLine(*workbench_, "E::%s", error.c_str());
}

void MainWindow::toggleStorageEngine() {
  QAction* entry = commandAction(kCmdStorageEngine);
  if (entry == nullptr) return;
  const std::string engine = ToggleStorageEngine(*workbench_);
  entry->setText(QString::fromStdString(StorageEngineMenuText(engine)));
  if (std::string error; !SaveConfigStorageEngine(ConfigFilePath(), engine, &error))
    WriteLine(*workbench_, "E::%s", error.c_str());
}

bool MainWindow::renameTargetTable(const std::string& oldName, const std::string& newName) {
  // The label being edited is the selected table's.
  const CatalogSelection table = workbench_->targetTree().selection();
  if (table.kind() != NodeKind::Table || table.text() != oldName) return false;
  return RenameTableCommand(*workbench_, table, newName);
}

}  // namespace tablift
