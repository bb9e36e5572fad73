#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/status.h"
#include "migration/run_summary.h"

namespace tablift {

// The run's summary as a table for a terminal or a log: one line per table
// (name, rows read, written, refused, seconds, status, reason), then the
// keys, foreign keys, views and procedures made and left out (each left-out
// one with its reason), and a total line.
std::string SummaryText(const RunSummary& summary);

// The same as JSON:
// {"tables":[{"name","rows_read","rows_written","rows_refused","seconds",
//   "status","reason"}], "keys":{"made","left_out":[{"name","reason"}]},
//  "foreign_keys":…, "views":…, "procedures":…, "started","finished"
//  (ISO 8601, UTC), "source","target"}
std::string SummaryJson(const RunSummary& summary);

// A summary read back from SummaryJson's text (the times left at 0): what a
// run of many files reads from each file's own run. A failure when the text
// is no such report.
Result<RunSummary> ReadSummaryJson(std::string_view json);

// Writes SummaryJson to `file` (a full path), replacing what was there.
Status WriteSummaryJson(const std::filesystem::path& file, const RunSummary& summary);

// Writes the summary as a person reads it to `file` (a full path): where
// the rows came from and went, when the run started and ended, then
// SummaryText.
Status WriteSummaryText(const std::filesystem::path& file, const RunSummary& summary);

// The header of that file: "Source: …", "Target: …", "Started: …",
// "Finished: …", one line each.
std::string SummaryHeader(const RunSummary& summary);

// Whether the run did anything a summary reports: no table, key, view or
// procedure made or left out (a run of backups only, say).
bool SummaryIsEmpty(const RunSummary& summary);

// Now, in seconds since the epoch, as the summary's times are kept.
double SecondsSinceEpoch();

// A time of the summary (seconds since the epoch) as ISO 8601 in UTC with
// milliseconds: "2026-12-08T18:01:55.118Z".
std::string IsoTime(double secondsSinceEpoch);

}  // namespace tablift
