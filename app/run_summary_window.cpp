#include "app/main_window.h"
#include "engine/ended_run_summary.h"
#include "engine/run_report.h"
#include "ui/run_summary_dialog.h"

namespace tablift {

void MainWindow::showRunSummary() {
  if (closing_) return;
  RunSummary summary = EndedRunSummary(*workbench_);
  // A run of backups only has no summary to show.
  if (SummaryIsEmpty(summary)) return;
  RunSummaryDialog dialog(std::move(summary), workbench_->prompter(), this);
  if (dialogHook_) dialogHook_(dialog);
  dialog.exec();
}

}  // namespace tablift
