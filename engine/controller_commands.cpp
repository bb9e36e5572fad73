#include "engine/controller_commands.h"

#include "engine/main_controller.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

// Requests the stop if the controller still runs; false when it ended (or was
// stopped) while the user was being asked.
bool StopIfStillRunning(Workbench& window) {
  RunState running = RunState::Running;
  window.automaticStop().store(false);
  return window.runState().compare_exchange_strong(running, RunState::StopRequested);
}

}  // namespace

void StartStopCommand(Workbench& window) {
  switch (window.runState().load()) {
    case RunState::Running: {
      const Workbench::WorkPause pause(window);
      if (window.prompter().askOkCancel("Some Tasks is Processing, STOP ALL?") &&
          StopIfStillRunning(window)) {
        window.setStartStopImage(kStopRequestedImage);
      }
      return;
    }
    case RunState::StopRequested:
      window.prompter().showMessage("Some Tasks is Stopping, Please Wait!!!",
                                    MessageIcon::Information);
      return;
    case RunState::Idle:
      window.setStartStopImage(kStartRequestedImage);
      RestartController(window, false);  // the flag is idle: starts at once
      return;
    default:
      return;
  }
}

bool MayRunBesideTasks(Workbench& window) {
  switch (window.runState().load()) {
    case RunState::Running: {
      const Workbench::WorkPause pause(window);
      if (window.prompter().askOkCancel("Some Tasks is Processing, STOP ALL?"))
        StopIfStillRunning(window);
      return false;
    }
    case RunState::StopRequested:
      window.prompter().showMessage("Some Tasks is Stopping, Please try again later!!!",
                                    MessageIcon::Information);
      return false;
    case RunState::Idle:
      return true;
    default:
      return false;
  }
}

CloseDecision QueryClose(Workbench& window) {
  if (window.runState().load() != RunState::Running) return CloseDecision::Close;
  const Workbench::WorkPause pause(window);
  if (!window.prompter().askOkCancel("Some Tasks is Processing, STOP ALL and EXIT?"))
    return CloseDecision::KeepOpen;
  StopIfStillRunning(window);
  return CloseDecision::AskAgain;
}

}  // namespace tablift
