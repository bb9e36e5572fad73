#include "engine/ended_run_summary.h"

#include <set>
#include <string>

#include "engine/run_report.h"
#include "engine/workbench.h"

namespace tablift {

RunSummary EndedRunSummary(Workbench& window) {
  RunSummary summary = window.runRecorder()->summary();
  summary.finished = SecondsSinceEpoch();
  summary.source = window.sourceProfile().sourceName;
  // The list may hold migrations into several databases of the server; the
  // target names each once, in the order of the list.
  std::string databases;
  std::set<std::string> named;
  for (const TaskPtr& task : window.tasks().snapshot()) {
    if (task->category() != kMigrationCategory) continue;
    const std::string database = task->names().targetDatabase;
    if (database.empty() || !named.insert(database).second) continue;
    databases += (databases.empty() ? "" : ", ") + database;
  }
  summary.target = window.targetProfile().sourceName + "/" + databases;
  return summary;
}

}  // namespace tablift
