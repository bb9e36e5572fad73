#include "core/completion_event.h"

namespace tablift {

void CompletionEvent::set() {
  {
    std::lock_guard lock(mutex_);
    set_ = true;
  }
  signalled_.notify_one();
}

void CompletionEvent::wait() {
  std::unique_lock lock(mutex_);
  signalled_.wait(lock, [this] { return set_; });
  set_ = false;
}

}  // namespace tablift
