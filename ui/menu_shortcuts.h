#pragma once

#include <QKeySequence>
#include <utility>
#include <vector>

namespace tablift {

// The keys of the menu bar's commands, each shown beside its entry. Standard
// keys where the desktop has one (F1 help, F5 refresh, Delete, F2 rename,
// Ctrl+Q quit); the rest with Ctrl or Ctrl+Shift, no two alike.
std::vector<std::pair<int, QKeySequence>> MenuShortcuts();

// The keys of a command, also of a mini tool bar button (whose command is
// the menu entry's twin); empty when it has none.
QKeySequence MenuShortcutOf(int command);

}  // namespace tablift
