#include "engine/line_forwarder.h"

namespace tablift {

LineForwarder::LineForwarder(std::function<void(const LogLine&)> sink)
    : sink_(std::move(sink)), thread_([this] { run(); }) {}

LineForwarder::~LineForwarder() {
  {
    std::lock_guard guard(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void LineForwarder::lineAdded(const LogLine& line) {
  {
    std::lock_guard guard(mutex_);
    queue_.push_back(line);
  }
  wake_.notify_one();
}

void LineForwarder::flush() {
  std::unique_lock lock(mutex_);
  drained_.wait(lock, [this] { return queue_.empty() && !delivering_; });
}

void LineForwarder::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) break;  // stopping, and everything is delivered
    LogLine line = std::move(queue_.front());
    queue_.pop_front();
    delivering_ = true;
    lock.unlock();
    sink_(line);
    lock.lock();
    delivering_ = false;
    if (queue_.empty()) drained_.notify_all();
  }
  drained_.notify_all();
}

}  // namespace tablift
