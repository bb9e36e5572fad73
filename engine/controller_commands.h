#pragma once

#include <chrono>

namespace tablift {

class Workbench;

// The user's side of the controller: the task list's Start/Stop button, the
// guard of commands that must not run while tasks do, and the question asked
// when the main window is closed. All run on the user-interface thread and
// never wait for the controller thread to end.
//
// A stop is requested only if the controller is still running when the user
// answers: the controller may end while a question is open, and a stop
// request without a thread to honour it would leave the run flag at "stop
// requested" for good, refusing every later Connect and Start.

// The Start/Stop button of the task list: stops running tasks after the user
// confirmed it, says so while a stop is under way, and starts the controller
// again (without clearing the list) when it is idle.
void StartStopCommand(Workbench& window);

// Connect and the target Delete command call this first. True when no tasks
// run and the command may go on; otherwise the user is asked to stop the
// running tasks (or told to wait for the stop under way) and the command is
// not carried out.
bool MayRunBesideTasks(Workbench& window);

enum class CloseDecision {
  Close,     // nothing runs, or a stop was requested: close, without waiting for the thread
  KeepOpen,  // the user chose to let the tasks go on
  AskAgain,  // the user asked to stop: ask again after kCloseRecheckDelay
};

// How long the window lets the controller wind down after the user asked to
// stop all and exit, before it asks again.
inline constexpr std::chrono::milliseconds kCloseRecheckDelay{3000};

// The main window's close query. While tasks run the user is asked whether to
// stop all and exit. On OK the stop is requested and AskAgain returned: the
// window schedules another query after kCloseRecheckDelay (a timer, not a
// sleep, so that it keeps drawing and the controller's status texts still
// arrive) and closes once the query says Close. A controller that does not
// run, or that is already stopping, lets the window close at once.
CloseDecision QueryClose(Workbench& window);

}  // namespace tablift
