#include "engine/controller_thread.h"

#include <cerrno>
#include <system_error>

namespace tablift {

int ControllerThread::start(std::function<void()> body) {
  std::lock_guard lock(mutex_);
  if (shuttingDown_) return ECANCELED;
  // A previous thread has set the run flag to idle as its last step, so it is
  // ending or has ended.
  if (thread_.joinable()) thread_.join();
  running_.store(true);
  try {
    thread_ = std::thread([this, body = std::move(body)] {
      body();
      running_.store(false);
    });
  } catch (const std::system_error& error) {
    running_.store(false);
    return error.code().value() != 0 ? error.code().value() : EAGAIN;
  }
  return 0;
}

bool ControllerThread::pause(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return wake_.wait_for(lock, duration, [this] { return shuttingDown_; });
}

void ControllerThread::requestShutdown() {
  {
    std::lock_guard lock(mutex_);
    shuttingDown_ = true;
  }
  wake_.notify_all();
}

void ControllerThread::shutdown() {
  requestShutdown();
  std::thread ending;
  {
    std::lock_guard lock(mutex_);
    ending = std::move(thread_);
  }
  if (ending.joinable() && ending.get_id() != std::this_thread::get_id()) ending.join();
  if (ending.joinable()) ending.detach();
}

void ControllerThread::reopen() {
  std::lock_guard lock(mutex_);
  shuttingDown_ = false;
}

}  // namespace tablift
