#pragma once

#include <cstdint>

namespace tablift {

// The controller's run state, one value shared by the user-interface thread,
// the controller thread and the workers (which read StopRequested as their
// stop token).
//
//            StartController                   Start/Stop pressed, the last task
//   Idle ---------------------> Running -------------------------------------+
//    ^  (thread created)          ^ |        completed (automatic), RequestStop
//    |                            | v
//    |   the sweep ends     StopRequested
//    +---------------------------/  |
//                                    \-- a task queued while an automatic stop
//                                        lingers takes it back: -> Running
//
// Idle: no controller thread. Running: the thread sweeps the task list.
// StopRequested: the thread ends after its current sweep; workers end at their
// next safe point. Only the controller thread itself goes back to Idle.
enum class RunState : std::uint8_t { Idle, Running, StopRequested };

}  // namespace tablift
