#pragma once

#include <string>

#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// What a resumed migration does with the rows of a table the target already
// has, decided from the target's own rows (never from a record of the
// interrupted run):
// - Load: the table is empty; its rows are loaded as in a first run.
// - Skip: it holds as many rows as the source gives (after the table's
//   migration condition); they stay, nothing is read.
// - Continue: its primary key is one integer column and its rows are exactly
//   the source rows up to its highest key (counted on both sides): the rows
//   above that key are read in key order and added.
// - Reload: anything else (no key, a key of several or non-integer columns,
//   whose order MySQL and Access may not share, rows that are no such run):
//   its rows are deleted and loaded again.
enum class ResumeAction { Load, Skip, Continue, Reload };

struct ResumePlan {
  ResumeAction action = ResumeAction::Load;
  long long targetRows = 0;   // the rows the target table held
  long long sourceRows = -1;  // the rows the source gives; -1 when unknown
  // Continue: the source column and the highest key value the target holds.
  std::string keyColumn{};
  std::string lastKey{};
  // One line for the log and the run's summary on what was done and why.
  std::string note{};
};

// Reads both sides and decides. `targetTable` is the table's MySQL name in
// the target's current database, where it exists.
ResumePlan PlanResumedRows(MigrationContext& job, Session* sourceSession,
                           const std::string& database, const std::string& table,
                           const std::string& targetTable);

}  // namespace tablift
