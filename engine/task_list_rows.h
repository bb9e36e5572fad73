#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/task_list.h"

namespace tablift {

struct TaskListColumn {
  std::string_view header;
  int width;  // pixels; 0 where the view picks the width
};

// The columns of the task list view, in order.
inline constexpr std::array<TaskListColumn, 13> kTaskListColumns{{
    {"NO.", 32},
    {"Progress", 72},
    {"Type", 62},
    {"State", 60},
    {"Rows", 0},     // of the table under way: "done / total"
    {"Rows/s", 0},   // over the table under way
    {"Elapsed", 0},  // since the task started, "m:ss"
    {"Source DBMS", 200},
    {"Source DB", 0},
    {"Source T(V)", 0},
    {"Target DBMS", 200},
    {"Target DB", 0},
    {"Target T(V)", 0},
}};

// The column that holds the progress bar.
inline constexpr int kTaskListProgressColumn = 1;

// One row of the view: the cell texts in column order and the position of the
// row's progress bar.
struct TaskListRow {
  std::array<std::string, kTaskListColumns.size()> cells;
  int progress = 0;
};

// The rows for the records in list order, numbered from "01". A waiting record
// shown for the first time gets a short bar (5 %).
std::vector<TaskListRow> BuildTaskListRows(TaskList& list);

}  // namespace tablift
