#include "ui/tree_menus.h"

#include "core/connection_profile.h"
#include "engine/catalog_tree.h"
#include "ui/command_ids.h"

namespace tablift {

MenuBarState MenuStateFor(int side, int dbmsKind, NodeKind image) {
  const bool target = side == 1;
  MenuBarState state;
  switch (image) {
    case NodeKind::Root:
      state.shownMenu = kDatabasesMenu;
      if (target) state.enabled.insert(kCmdNewDatabase);
      if (dbmsKind == kDbmsMySql) {
        state.enabled.insert(kCmdChangeCharset);
        state.enabled.insert(kCmdStorageEngine);
      }
      break;
    case NodeKind::Database:
      state.shownMenu = kDatabaseMenu;
      if (target) state.enabled = {kCmdDeleteDatabase, kCmdClearAllTables, kCmdClearAllData};
      break;
    case NodeKind::Table:
      state.shownMenu = kTableMenu;
      if (target)
        state.enabled = {kCmdDropTable, kCmdRenameTable};
      else
        state.enabled = {kCmdMigrationCondition};
      break;
    case NodeKind::View:
      state.shownMenu = kTableMenu;
      if (target)
        state.enabled = {kCmdDropView};
      else
        state.enabled = {kCmdMigrationCondition};
      break;
    default:
      break;
  }
  return state;
}

std::vector<ContextEntry> ContextMenuFor(int side, int dbmsKind, NodeKind image,
                                         const std::string& text) {
  const bool target = side == 1;
  if (text.find_first_not_of(' ') == std::string::npos) return {};
  std::vector<ContextEntry> entries;
  switch (image) {
    case NodeKind::Root:
      if (target) entries.push_back({kCmdNewDatabase, "New Database"});
      if (dbmsKind == kDbmsMySql) {
        entries.push_back({kCmdChangeCharset, "Change Charset"});
        entries.push_back({kCmdStorageEngine, "Storage Engines"});
      }
      break;
    case NodeKind::Database:
      if (target) {
        entries = {{kCmdDeleteDatabase, "Delete Database"},
                   {kCmdClearAllTables, "Clear all tables"},
                   {kCmdClearAllData, "Clear all Data"}};
      }
      break;
    case NodeKind::Table:
      if (target) {
        entries = {{kCmdDropTable, "Drop Table " + text},
                   {kCmdRenameTable, "Rename Table " + text}};
      } else {
        entries = {{kCmdMigrationCondition, "Migration Condition"}};
      }
      break;
    case NodeKind::View:
      if (target) {
        entries = {{kCmdDropView, "Drop View " + text}};
      } else {
        entries = {{kCmdMigrationCondition, "Migration Condition"}};
      }
      break;
    default:
      break;
  }
  return entries;
}

}  // namespace tablift
