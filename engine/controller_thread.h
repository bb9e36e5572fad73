#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tablift {

// The one background thread that runs the queued tasks, as the workbench owns
// it. Its pauses between sweeps end early only when the workbench goes away,
// so that the thread never outlives the state it works on.
class ControllerThread {
 public:
  ControllerThread() = default;
  ~ControllerThread() { shutdown(); }
  ControllerThread(const ControllerThread&) = delete;
  ControllerThread& operator=(const ControllerThread&) = delete;

  // Starts `body` on a new thread, after collecting a previous one that has
  // ended. On failure returns the system's error number (0 on success).
  int start(std::function<void()> body);
  // Waits `duration`; true when the owner is shutting down instead.
  bool pause(std::chrono::milliseconds duration);
  // Makes the current and every later pause return at once, without waiting.
  void requestShutdown();
  // Whether a started thread has not yet ended.
  bool running() const { return running_.load(); }
  // requestShutdown, then waits for the thread to end.
  void shutdown();
  // After shutdown, lets start() run a thread again: the command line queues
  // a further task on the same workbench once the first has ended.
  void reopen();

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool shuttingDown_ = false;
  std::atomic<bool> running_{false};
  std::thread thread_;
};

}  // namespace tablift
