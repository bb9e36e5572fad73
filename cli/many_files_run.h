#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tablift {

// A migrate run of many Access files, each cloned into a database named
// after it.
struct ManyFilesRun {
  std::vector<std::filesystem::path> files;
  // The options every file's own run takes: the server, the engine, the
  // character set, the names, the verbosity and whatever else the command
  // takes per file.
  std::vector<std::string> perFileArguments{};
  int jobs = 1;        // how many files are migrated at a time
  std::string report;  // --report: every file's summary, as one JSON
  // Each file's run keeps its statements in a folder of its own in here,
  // named after its database: runs side by side would otherwise write the
  // files of tables of the same name over each other.
  std::filesystem::path cacheFolder{};
};

// Migrates each file in a run of tablift-cli of its own, `jobs` at a time,
// its output lines labelled with the file's name; then one line per file
// ("A.mdb → A: SUCCESS, 3 tables, 120 rows, 2.1 s", or FAILURE and the
// first reason). The exit code is 0 only when every file ended SUCCESS and
// the report, when asked for, was written.
//
// Each file runs in its own process so that a file that upsets the reader,
// the driver or the server's session takes no other file down, and each run
// keeps its own log, summary and settings exactly as a run of one file does.
int RunManyFiles(const ManyFilesRun& run);

}  // namespace tablift
