#include "migration/run_summary.h"

#include <utility>

namespace tablift {

void RunRecorder::addTable(TableSummary table) {
  const std::lock_guard lock(mutex_);
  summary_.tables.push_back(std::move(table));
}

void RunRecorder::addMade(ObjectTally RunSummary::*kind) {
  const std::lock_guard lock(mutex_);
  ++(summary_.*kind).made;
}

void RunRecorder::addLeftOut(ObjectTally RunSummary::*kind, LeftOut object) {
  const std::lock_guard lock(mutex_);
  (summary_.*kind).leftOut.push_back(std::move(object));
}

RunSummary RunRecorder::summary() const {
  const std::lock_guard lock(mutex_);
  return summary_;
}

void RunRecorder::clear(double started) {
  const std::lock_guard lock(mutex_);
  summary_ = RunSummary{};
  summary_.started = started;
}

const char* StatusText(TableStatus status) {
  switch (status) {
    case TableStatus::Migrated:
      return "SUCCESS";
    case TableStatus::Incomplete:
      return "INCOMPLETE";
    case TableStatus::NotCreated:
      return "NOT CREATED";
  }
  return "";
}

}  // namespace tablift
