#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tablift {

// How one table of a migration ended.
enum class TableStatus { Migrated, Incomplete, NotCreated };

// One table of a migration: what was read from Access, what the server
// keeps, what it refused, how long it took and, when it did not end whole,
// why in a few words.
struct TableSummary {
  std::string name{};
  std::int64_t rowsRead = 0;
  std::int64_t rowsWritten = 0;
  std::int64_t rowsRefused = 0;
  double seconds = 0;
  TableStatus status = TableStatus::Migrated;
  std::string reason{};  // empty when the table arrived whole
  // A resumed migration's word on a table the target already had: skipped
  // as complete, continued after which key, or emptied and loaded again.
  std::string resumed{};
};

// An object that was left out (a key the server refused, a view that could
// not be made) and why.
struct LeftOut {
  std::string name{};
  std::string reason;
};

// A kind of object of a migration besides tables: how many were made, and
// which were left out with their reasons.
struct ObjectTally {
  int made = 0;
  std::vector<LeftOut> leftOut;
};

// What one run of migrations did, object by object: the data behind the
// summary at the end of a command-line run, its JSON report, and what the
// window shows of a run. Times are seconds since the epoch.
struct RunSummary {
  std::vector<TableSummary> tables;
  ObjectTally keys;  // primary keys and unique indexes
  ObjectTally foreignKeys;
  ObjectTally views;
  ObjectTally procedures;
  double started = 0;
  double finished = 0;
  std::string source;
  std::string target;
};

// Collects a run's summary as the workers finish objects; the workers run on
// the controller's thread while whoever shows the summary reads it, so every
// call takes the recorder's lock.
class RunRecorder {
 public:
  void addTable(TableSummary table);
  void addMade(ObjectTally RunSummary::*kind);
  void addLeftOut(ObjectTally RunSummary::*kind, LeftOut object);
  // A copy of everything recorded so far.
  RunSummary summary() const;
  // Starts a new run, at `started` (seconds since the epoch) when given:
  // everything recorded before is forgotten.
  void clear(double started = 0);

 private:
  mutable std::mutex mutex_;
  RunSummary summary_;
};

// The text of a TableStatus as reports write it: "SUCCESS", "INCOMPLETE",
// "NOT CREATED".
const char* StatusText(TableStatus status);

}  // namespace tablift
