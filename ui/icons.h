#pragma once

#include <QIcon>

#include "engine/catalog_tree.h"

namespace tablift {

// The program's own small images, drawn rather than shipped as files.

// A database tree node's picture, by its kind.
QIcon NodeIcon(NodeKind kind);
// The mini tool bar's images: 0 Configure, 1 Connect, 2 Migrate, 3 Delete,
// 4 Backup.
QIcon ToolIcon(int index);
// The task list tool bar's images: 1 Item Up, 2 Item Down, 3 Delete, 4 Clear
// All Tasks, and the Start/Stop button's images 0 (start requested),
// 3 (running), 4 (finished) and 5 (stop requested).
QIcon TaskToolIcon(int index);
QIcon StartStopIcon(int image);
// The output tabs' images: "Log" and "Task List" and "Tips".
QIcon TabIcon(int index);

}  // namespace tablift
