#pragma once

#include "core/job_context.h"
#include "data_access/session.h"
#include "migration/run_summary.h"
#include "translate/migration_settings.h"

namespace tablift {

// What a migration or backup worker may use: the job's log, prompter and stop
// token, the two sides' open sessions (null when a side is not connected) and
// the settings the work is done with. The engine gives its workers this much
// and nothing of the window it serves.
class MigrationContext : public JobContext {
 public:
  virtual Session* sourceSession() const = 0;
  virtual Session* targetSession() const = 0;
  virtual MigrationSettings migrationSettings() const = 0;
  // How far the rows of the table `table` have got: `done` of `total`
  // (total 0 when the source could not count them). Called often; the
  // engine shows it, other runners need not.
  virtual void reportRows(const std::string& table, long done, long total) {
    (void)table;
    (void)done;
    (void)total;
  }
  // Where the workers record each object they finish for the run's summary;
  // null when nobody keeps one.
  virtual RunRecorder* runRecorder() { return nullptr; }
};

}  // namespace tablift
