#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "engine/output_pane.h"

namespace tablift {

// Hands every new log line to a sink on a thread of its own, so that a slow
// sink (a console, a file) never holds up the thread that wrote the line.
// Lines reach the sink in the order they were written; none is dropped.
class LineForwarder : public OutputListener {
 public:
  explicit LineForwarder(std::function<void(const LogLine&)> sink);
  // Delivers what is still queued, then ends the thread.
  ~LineForwarder() override;
  LineForwarder(const LineForwarder&) = delete;
  LineForwarder& operator=(const LineForwarder&) = delete;

  void lineAdded(const LogLine& line) override;
  // Waits until every line queued so far has reached the sink.
  void flush();

 private:
  void run();

  std::function<void(const LogLine&)> sink_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable drained_;
  std::deque<LogLine> queue_;
  bool delivering_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace tablift
