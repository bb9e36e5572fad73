#include "ui/menu_shortcuts.h"

#include "ui/command_ids.h"

namespace tablift {

std::vector<std::pair<int, QKeySequence>> MenuShortcuts() {
  return {
      {kCmdConfig, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
      {kCmdConnect, QKeySequence(Qt::CTRL | Qt::Key_K)},
      {kCmdDriverCheck, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D)},
      {kCmdExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {kCmdMigrate, QKeySequence(Qt::CTRL | Qt::Key_M)},
      {kCmdCloneFiles, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)},
      {kCmdDeleteSelected, QKeySequence(Qt::Key_Delete)},
      {kCmdBackup, QKeySequence(Qt::CTRL | Qt::Key_B)},
      {kCmdStartStopTasks, QKeySequence(Qt::Key_F9)},
      {kCmdRefresh, QKeySequence(Qt::Key_F5)},
      {kCmdNewDatabase, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
      {kCmdChangeCharset, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H)},
      {kCmdStorageEngine, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
      {kCmdDeleteDatabase, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete)},
      {kCmdClearAllTables, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)},
      {kCmdClearAllData, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)},
      {kCmdMigrationCondition, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W)},
      {kCmdDropTable, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X)},
      {kCmdDropView, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
      {kCmdRenameTable, QKeySequence(Qt::Key_F2)},
      {kCmdManual, QKeySequence(Qt::Key_F1)},
      {kCmdAbout, QKeySequence(Qt::CTRL | Qt::Key_F1)},
  };
}

QKeySequence MenuShortcutOf(int command) {
  switch (command) {
    case kCmdToolConfigure:
      command = kCmdConfig;
      break;
    case kCmdToolConnect:
      command = kCmdConnect;
      break;
    case kCmdToolMigrate:
      command = kCmdMigrate;
      break;
    case kCmdToolDelete:
      command = kCmdDeleteSelected;
      break;
    case kCmdToolBackup:
      command = kCmdBackup;
      break;
    default:
      break;
  }
  for (const auto& [id, keys] : MenuShortcuts())
    if (id == command) return keys;
  return {};
}

}  // namespace tablift
