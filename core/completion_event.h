#pragma once

#include <condition_variable>
#include <mutex>

namespace tablift {

// An auto-reset event: set() wakes one waiter, which resets it.
class CompletionEvent {
 public:
  void set();
  // Blocks until the event is set, then resets it.
  void wait();

 private:
  std::mutex mutex_;
  std::condition_variable signalled_;
  bool set_ = false;
};

}  // namespace tablift
