#include "engine/task_list_rows.h"

#include <cstdio>

namespace tablift {

std::vector<TaskListRow> BuildTaskListRows(TaskList& list) {
  std::vector<TaskListRow> rows;
  int number = 0;
  for (const TaskPtr& task : list.snapshot()) {
    if (!task) continue;
    TaskListRow row;
    char numberText[16];
    std::snprintf(numberText, sizeof numberText, "%02d", ++number);
    row.cells = {numberText,
                 " ",
                 std::string(CategoryText(task->category())),
                 std::string(task->stateText()),
                 task->sourceDbms(),
                 task->sourceDatabase(),
                 task->sourceObject(),
                 task->targetDbms(),
                 task->targetDatabase(),
                 task->targetObject()};
    row.progress = task->progressForDisplay();
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace tablift
