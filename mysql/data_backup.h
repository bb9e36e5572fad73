#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "data_access/session.h"

namespace tablift {

class JobContext;

// How a table's data backup ended.
enum class BackupOutcome {
  Written,  // every row is in the file
  Stopped,  // a stop cut it short: the file holds the rows up to the stop, and
            // is valid, but not the whole table
  Failed,   // see the reason
};

struct DataBackup {
  BackupOutcome outcome = BackupOutcome::Failed;
  std::string reason{};  // why it failed

  bool operator==(BackupOutcome other) const { return outcome == other; }
};

// Writes every row of one target table as one INSERT statement per line into
// "<table>.data" in `directory` (the
// name made safe as a file name), so that the file replays into an
// empty table of the same definition and reproduces it exactly: text escaped,
// NULL as NULL, binary as complete hexadecimal literals, dates quoted. Writes
// a progress line every 1000 rows and stops after the current row when the
// controller's stop is requested. A failure's reason is the provider's error
// text, "RESULT: The operation completed SUCCESSFULLY" for a statement without
// rows, the "No Source Connection!" text without a session, or the text of a
// file that could not be written or of a row that could not be read whole (a
// broken read never passes for the end).
//
// A table with a primary key is read in pieces of `pieceRows` rows, in the
// key's order, so that memory does not grow with the table.
inline constexpr std::size_t kBackupPieceRows = 20000;
DataBackup BackupTableData(JobContext& job, Session* session, std::string_view tableName,
                           const std::filesystem::path& directory,
                           std::size_t pieceRows = kBackupPieceRows);

}  // namespace tablift
