#include "app/main_window.h"
#include "engine/list_catalog.h"

namespace tablift {

void MainWindow::refreshTrees() {
  // Databases made or dropped by another program show only once the
  // catalogs are read again. While tasks run, their runner re-reads the
  // target after each task, and the sessions are theirs.
  if (workbench_->runState().load() != RunState::Idle) {
    workbench_->prompter().showHint("Refresh waits until the tasks have finished.");
    return;
  }
  if (workbench_->sourceSession() != nullptr) ListCatalog(*workbench_, workbench_->sourceTree());
  if (workbench_->targetSession() != nullptr) ListCatalog(*workbench_, workbench_->targetTree());
}

}  // namespace tablift
