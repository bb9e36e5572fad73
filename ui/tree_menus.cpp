#include "ui/tree_menus.h"

#include "core/connection_profile.h"
#include "engine/catalog_tree.h"
#include "ui/command_ids.h"

namespace tablift {

MenuBarState MenuStateFor(int side, int dbmsKind, int image) {
  const bool target = side == 1;
  MenuBarState state;
  switch (image) {
    case kImageRoot:
      state.shownMenu = kDatabasesMenu;
      if (target) state.enabled.insert(kCmdNewDatabase);
      if (dbmsKind == kDbmsMySql) {
        state.enabled.insert(kCmdChangeCharset);
        state.enabled.insert(kCmdStorageEngine);
      }
      break;
    case kImageDatabase:
      state.shownMenu = kDatabaseMenu;
      if (target) state.enabled = {kCmdDeleteDatabase, kCmdClearAllTables, kCmdClearAllData};
      break;
    case kImageTable:
      state.shownMenu = kTableMenu;
      if (target)
        state.enabled = {kCmdDropTable, kCmdRenameTable};
      else
        state.enabled = {kCmdMigrationCondition};
      break;
    case kImageView:
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

std::vector<ContextEntry> ContextMenuFor(int side, int dbmsKind, int image,
                                         const std::string& text) {
  const bool target = side == 1;
  if (text.find_first_not_of(' ') == std::string::npos) return {};
  std::vector<ContextEntry> entries;
  switch (image) {
    case kImageRoot:
      if (target) entries.push_back({kCmdNewDatabase, "New Database"});
      if (dbmsKind == kDbmsMySql) {
        entries.push_back({kCmdChangeCharset, "Change Charset"});
        entries.push_back({kCmdStorageEngine, "Storage Engines"});
      }
      break;
    case kImageDatabase:
      if (target) {
        entries = {{kCmdDeleteDatabase, "Delete Database"},
                   {kCmdClearAllTables, "Clear all tables"},
                   {kCmdClearAllData, "Clear all Data"}};
      }
      break;
    case kImageTable:
      if (target) {
        entries = {{kCmdDropTable, "Drop Table " + text},
                   {kCmdRenameTable, "Rename Table " + text}};
      } else {
        entries = {{kCmdMigrationCondition, "Migration Condition"}};
      }
      break;
    case kImageView:
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
