#pragma once

#include "core/log_sink.h"
#include "core/prompter.h"

namespace tablift {

// All that a worker or an adapter may use of whoever runs it: where its log
// lines go, whom it may ask, and whether it should stop. Passing this rather
// than the engine's whole state keeps the lower layers free of the engine
// (and of the window the engine serves), and lets a test run any worker with
// a context of its own.
class JobContext {
 public:
  virtual ~JobContext() = default;
  virtual LogSink& log() = 0;
  virtual Prompter& prompter() = 0;
  // True once a stop was requested: long work ends at its next safe point.
  virtual bool stopRequested() const = 0;
};

}  // namespace tablift
