#include "cli/object_choice.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/progress_line.h"
#include "data_access/ascii_text.h"
#include "engine/workbench.h"

namespace tablift {

bool TakeObjectOption(int argc, char** argv, int& i, ObjectChoice& choice, std::string& error) {
  const std::string_view argument = argv[i];
  if (argument == "--tables" || argument == "--views") {
    (argument == "--tables" ? choice.tables : choice.views) = true;
    return true;
  }
  if (argument != "--table" && argument != "--view") return false;
  if (i + 1 >= argc) {
    error = std::string(argument) + " needs a value";
    return false;
  }
  (argument == "--table" ? choice.table : choice.view) = argv[++i];
  return true;
}

const CatalogNode* ChildOf(const CatalogNode& node, NodeKind image, std::string_view text,
                           bool anyCase) {
  for (const CatalogNode& child : node.children) {
    if (child.kind != image) continue;
    if (anyCase ? EqualsIgnoreCase(child.text, text) : child.text == text) return &child;
  }
  return nullptr;
}

std::optional<ChosenObject> FindChosenObject(const CatalogNode& database,
                                             const ObjectChoice& choice, std::string_view command,
                                             std::string_view where) {
  const bool inTables = choice.tables || !choice.table.empty();
  const bool inViews = choice.views || !choice.view.empty();
  if (!inTables && !inViews) return ChosenObject{};
  const NodeKind folderImage = inTables ? NodeKind::TablesFolder : NodeKind::ViewsFolder;
  const char* folderText = inTables ? "Tables" : "Views";
  const CatalogNode* folder = ChildOf(database, folderImage, folderText);
  const int commandLength = static_cast<int>(command.size());
  const int whereLength = static_cast<int>(where.size());
  if (folder == nullptr) {
    std::fprintf(stderr, "tablift-cli %.*s: %.*s shows no %s\n", commandLength, command.data(),
                 whereLength, where.data(), folderText);
    return std::nullopt;
  }
  const std::string& object = inTables ? choice.table : choice.view;
  if (object.empty()) return ChosenObject{inTables ? ObjectScope::Tables : ObjectScope::Views, {}};
  const NodeKind image = inTables ? NodeKind::Table : NodeKind::View;
  const CatalogNode* node = ChildOf(*folder, image, object);
  if (node == nullptr) {
    std::fprintf(stderr, "tablift-cli %.*s: %.*s has no %s [%s]\n", commandLength, command.data(),
                 whereLength, where.data(), inTables ? "table" : "view", object.c_str());
    return std::nullopt;
  }
  return ChosenObject{inTables ? ObjectScope::Table : ObjectScope::View, node->text};
}

bool WaitForTasks(Workbench& window, Verbosity verbosity) {
  using std::chrono::milliseconds;
  using std::chrono::steady_clock;
  const bool terminal = verbosity != Verbosity::Quiet && isatty(STDERR_FILENO) != 0;
  // Off a terminal a line is kept for good: one every few seconds.
  const bool lines = verbosity == Verbosity::Verbose && !terminal;
  constexpr std::chrono::seconds kLineEvery(2);
  steady_clock::time_point lineShown = steady_clock::now();
  // Looked at often, so that the program ends soon after its tasks; the
  // progress line changes less often.
  constexpr milliseconds kLook(5);
  constexpr milliseconds kShowEvery(100);
  steady_clock::time_point shown;
  while (window.runState().load() != RunState::Idle) {
    std::this_thread::sleep_for(kLook);
    std::size_t done = 0;
    int progress = 0;
    TaskPtr working;
    const auto tasks = window.tasks().snapshot();
    for (const TaskPtr& task : tasks) {
      if (task->finished()) ++done;
      if (task->stateText() == kStateWorking) {
        progress = task->progress();
        working = task;
      }
    }
    // The table under way, once its rows have begun: its own rows, percent,
    // rate and time left.
    std::string rows;
    if (working && !working->rowsTable().empty()) {
      rows = "  " + ProgressLineText({working->rowsTable(), working->rowsDone(),
                                      working->rowsTotal(), working->tableSeconds()});
    }
    // Nothing more will be queued: the controller need not wait out its
    // pause before it finds the list done.
    if (!tasks.empty() && done == tasks.size()) window.controllerThread().requestShutdown();
    if (terminal && steady_clock::now() - shown >= kShowEvery) {
      shown = steady_clock::now();
      // Cleared to the line's end: a shorter line must not keep the tail of a
      // longer one.
      std::fprintf(stderr, "\r%zu of %zu tasks done, current %3d %%%s\x1b[K", done, tasks.size(),
                   progress, rows.c_str());
    }
    if (lines && steady_clock::now() - lineShown >= kLineEvery) {
      lineShown = steady_clock::now();
      std::printf("%zu of %zu tasks done, current %d %%%s\n", done, tasks.size(), progress,
                  rows.c_str());
      std::fflush(stdout);
    }
  }
  if (terminal) std::fputs("\n", stderr);
  bool allSucceeded = true;
  for (const TaskPtr& task : window.tasks().snapshot()) {
    allSucceeded = allSucceeded && task->stateText() == kStateSuccess;
  }
  return allSucceeded;
}

}  // namespace tablift
