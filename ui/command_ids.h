#pragma once

namespace tablift {

// Command ids shared by the menu bar, the mini tool bar, the trees' context
// menus and the task list's tool bar. They are the product's fixed numbers, so
// that routing reads the same everywhere.
enum CommandId : int {
  kCmdExit = 2,
  // Mini tool bar.
  kCmdToolConfigure = 1026,
  kCmdToolConnect = 1028,
  kCmdToolDelete = 1030,
  kCmdToolBackup = 1034,
  kCmdToolMigrate = 1035,
  // Task list tool bar.
  kCmdDeleteTask = 5550,
  kCmdStartStopTasks = 5560,
  kCmdClearAllTasks = 5561,
  kCmdItemUp = 5579,
  kCmdItemDown = 5580,
  // The task list's context menu.
  kCmdResumeTask = 5581,
  // Menu bar and context menus.
  kCmdDeleteDatabase = 32772,
  kCmdClearAllTables = 32773,
  kCmdChangeCharset = 32774,
  kCmdNewDatabase = 32775,
  kCmdMigrationCondition = 32776,
  kCmdConfig = 32777,
  kCmdMigrate = 32778,
  kCmdDeleteSelected = 32779,
  kCmdConnect = 32780,
  kCmdBackup = 32782,
  kCmdManual = 32783,
  kCmdAbout = 32785,
  kCmdDropTable = 32787,
  kCmdDropView = 32788,
  kCmdRenameTable = 32789,
  kCmdClearAllData = 32790,
  kCmdDriverCheck = 32793,
  // Operation > Clone Access Files...
  kCmdCloneFiles = 32800,
  kCmdStorageEngine = 32794,
  // Re-reads both trees' catalogs (F5).
  kCmdRefresh = 32795,
};

// Control ids of the two database trees.
inline constexpr int kSourceTreeId = 10002;
inline constexpr int kTargetTreeId = 10004;

}  // namespace tablift
