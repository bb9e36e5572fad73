#include "engine/task_list_rows.h"

#include <cstdio>
#include <string>

namespace tablift {
namespace {

std::string RowsText(const MigrationTask& task) {
  const long done = task.rowsDone();
  const long total = task.rowsTotal();
  if (done == 0 && total == 0) return "";
  return total > 0 ? std::to_string(done) + " / " + std::to_string(total) : std::to_string(done);
}

std::string RateText(const MigrationTask& task) {
  const double rate = task.rowsPerSecond();
  if (rate <= 0) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", rate);
  return text;
}

std::string ElapsedText(const MigrationTask& task) {
  const double seconds = task.elapsedSeconds();
  if (seconds <= 0) return "";
  const long whole = static_cast<long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

}  // namespace

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
                 RowsText(*task),
                 RateText(*task),
                 ElapsedText(*task),
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
