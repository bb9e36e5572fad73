#include "Converters/controller_thread.h"

#include <cerrno>
#include <system_error>

namespace tablift {

int ControllerThread::start(std::function<void()> body) {
  std::lock_guard lock(mutex_);
  if (shuttingDown_) return ECANCELED;
  // A previous thread has set the run flag to idle as its last step, so it is
  // ending or has ended.
  if (thread_.joinable()) thread_.join();
  try {
    thread_ = std::thread(std::move(body));
  } catch (const std::system_error& error) {
    return error.code().value() != 0 ? error.code().value() : EAGAIN;
  }
  return 0;
}

bool ControllerThread::pause(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return wake_.wait_for(lock, duration, [this] { return shuttingDown_; });
}

void ControllerThread::shutdown() {
  std::thread ending;
  {
    std::lock_guard lock(mutex_);
    shuttingDown_ = true;
    ending = std::move(thread_);
  }
  wake_.notify_all();
  if (ending.joinable() && ending.get_id() != std::this_thread::get_id()) ending.join();
  if (ending.joinable()) ending.detach();
}

}  // namespace tablift
