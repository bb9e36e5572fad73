#include "Converters/controller_commands.h"

#include "Converters/main_controller.h"
#include "Converters/workbench.h"

namespace tablift {
namespace {

// Requests the stop if the controller still runs; false when it ended (or was
// stopped) while the user was being asked.
bool StopIfStillRunning(Workbench& window) {
  std::uint8_t running = kRunRunning;
  window.automaticStop().store(false);
  return window.runFlag().compare_exchange_strong(running, kRunStopRequested);
}

}  // namespace

void StartStopCommand(Workbench& window) {
  switch (window.runFlag().load()) {
    case kRunRunning:
      if (window.prompter().askOkCancel("Some Tasks is Processing, STOP ALL?") &&
          StopIfStillRunning(window)) {
        window.setStartStopImage(kStopRequestedImage);
      }
      return;
    case kRunStopRequested:
      window.prompter().showMessage("Some Tasks is Stopping, Please Wait!!!",
                                    MessageIcon::Information);
      return;
    case kRunIdle:
      window.setStartStopImage(kStartRequestedImage);
      RestartController(window, false);  // the flag is idle: starts at once
      return;
    default:
      return;
  }
}

bool MayRunBesideTasks(Workbench& window) {
  switch (window.runFlag().load()) {
    case kRunRunning:
      if (window.prompter().askOkCancel("Some Tasks is Processing, STOP ALL?"))
        StopIfStillRunning(window);
      return false;
    case kRunStopRequested:
      window.prompter().showMessage("Some Tasks is Stopping, Please try again later!!!",
                                    MessageIcon::Information);
      return false;
    case kRunIdle:
      return true;
    default:
      return false;
  }
}

CloseDecision QueryClose(Workbench& window) {
  if (window.runFlag().load() != kRunRunning) return CloseDecision::Close;
  if (!window.prompter().askOkCancel("Some Tasks is Processing, STOP ALL and EXIT?"))
    return CloseDecision::KeepOpen;
  StopIfStillRunning(window);
  return CloseDecision::AskAgain;
}

}  // namespace tablift
