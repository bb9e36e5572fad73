#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine/catalog_tree.h"

namespace tablift {

// The three object menus of the menu bar, by position.
enum ObjectMenu : int {
  kNoObjectMenu = -1,
  kDatabasesMenu = 2,  // "D&atabases"
  kDatabaseMenu = 3,   // "&Database"
  kTableMenu = 4,      // "&Table"
};

// What the menu bar shows for the node selected in a tree: one of the object
// menus (the other two hidden) with the entries that may be used.
struct MenuBarState {
  int shownMenu = kNoObjectMenu;
  std::set<int> enabled;  // command ids; every other entry of the shown menu is greyed
};

// `side` is 0 for the source tree, 1 for the target tree; `dbmsKind` the
// tree's DBMS kind code; `image` the selected node's kind.
MenuBarState MenuStateFor(int side, int dbmsKind, NodeKind image);

struct ContextEntry {
  int command = 0;
  std::string caption;
  bool operator==(const ContextEntry&) const = default;
};

// The context menu of a node, empty when the node has none.
std::vector<ContextEntry> ContextMenuFor(int side, int dbmsKind, NodeKind image,
                                         const std::string& text);

}  // namespace tablift
