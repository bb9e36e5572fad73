#include "cli/many_files_run.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include "cli/child_runs.h"
#include "engine/access_file_list.h"
#include "engine/json_value.h"
#include "engine/run_report.h"

namespace tablift {
namespace {

// How one file's run ended, as its line and its part of the report say it.
struct FileOutcome {
  std::filesystem::path file;
  std::string database;
  bool success = false;
  std::string reason{};
  double seconds = 0;
  std::string reportJson{};  // the file's own report; empty when it wrote none
  std::optional<RunSummary> summary{};
};

// A folder of this run's own for the files' reports, removed at the end.
class ReportFolder {
 public:
  ReportFolder() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) base = "/tmp";
    std::string pattern = (base / "tablift-migrate-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ReportFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  ReportFolder(const ReportFolder&) = delete;
  ReportFolder& operator=(const ReportFolder&) = delete;
  bool made() const { return !path_.empty(); }
  std::filesystem::path reportOf(std::size_t index) const {
    return path_ / ("file-" + std::to_string(index) + ".json");
  }

 private:
  std::filesystem::path path_;
};

std::string TextOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The line of a run's standard error that says best what went wrong, without
// the program's name in front: the first sentence of the program's own ("...:
// cannot open the Access file ...") rather than a message box's title
// ("...: Source Connection error!") or a hint; else the first line.
std::string ErrorOf(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    for (const std::string_view name : {"tablift-cli migrate: ", "tablift-cli: "}) {
      if (!line.starts_with(name) || line.size() == name.size()) continue;
      if (std::islower(static_cast<unsigned char>(line[name.size()])))
        return line.substr(name.size());
    }
  }
  return lines.empty() ? std::string() : lines.front();
}

// The first thing that went wrong: a table that did not arrive whole, else
// the run's own first error line, else how it ended.
std::string FirstReason(const ChildRun& child, const std::optional<RunSummary>& summary) {
  if (summary) {
    for (const TableSummary& table : summary->tables) {
      if (table.status != TableStatus::Migrated) {
        return "table " + table.name + " " + StatusText(table.status) +
               (table.reason.empty() ? "" : ": " + table.reason.substr(0, table.reason.find('\n')));
      }
    }
  }
  if (!child.errorLines.empty()) return ErrorOf(child.errorLines);
  if (child.signal != 0) return "its run was killed by signal " + std::to_string(child.signal);
  return "its run ended with exit code " + std::to_string(child.exitCode);
}

FileOutcome OutcomeOf(const std::filesystem::path& file, const ChildRun& child,
                      const std::filesystem::path& report) {
  FileOutcome outcome{.file = file, .database = CloneDatabaseName(file)};
  outcome.seconds = child.seconds;
  outcome.reportJson = TextOf(report);
  if (!outcome.reportJson.empty()) {
    Result<RunSummary> read = ReadSummaryJson(outcome.reportJson);
    if (read.ok()) {
      outcome.summary = std::move(read).value();
    } else {
      outcome.reportJson.clear();
    }
  }
  outcome.success = child.exitCode == 0;
  if (!outcome.success) outcome.reason = FirstReason(child, outcome.summary);
  return outcome;
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

std::string LineOf(const FileOutcome& outcome) {
  std::string line = outcome.file.filename().string() + " \u2192 " + outcome.database + ": ";
  if (!outcome.success) return line + "FAILURE, " + outcome.reason;
  std::size_t tables = 0;
  std::int64_t rows = 0;
  if (outcome.summary) {
    tables = outcome.summary->tables.size();
    for (const TableSummary& table : outcome.summary->tables)
      rows += table.rowsWritten;
  }
  return line + "SUCCESS, " + std::to_string(tables) + " tables, " + std::to_string(rows) +
         " rows, " + SecondsText(outcome.seconds);
}

// {"files":[{"file","database","status","reason","seconds","report"}]}, each
// "report" the file's own run report (null when its run wrote none).
std::string ReportJson(const std::vector<FileOutcome>& outcomes) {
  std::string out = "{\"files\":[";
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const FileOutcome& outcome = outcomes[i];
    if (i > 0) out += ',';
    std::string report = outcome.reportJson;
    while (!report.empty() && (report.back() == '\n' || report.back() == ' '))
      report.pop_back();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", outcome.seconds);
    out += "{\"file\":" + JsonString(outcome.file.string()) +
           ",\"database\":" + JsonString(outcome.database) +
           ",\"status\":" + JsonString(outcome.success ? "SUCCESS" : "FAILURE") +
           ",\"reason\":" + JsonString(outcome.reason) + ",\"seconds\":" + seconds +
           ",\"report\":" + (report.empty() ? std::string("null") : report) + "}";
  }
  return out + "]}\n";
}

bool WriteReport(const std::string& where, const std::vector<FileOutcome>& outcomes) {
  std::error_code error;
  const std::filesystem::path file = std::filesystem::absolute(where, error);
  std::ofstream out(error ? std::filesystem::path(where) : file,
                    std::ios::binary | std::ios::trunc);
  out << ReportJson(outcomes);
  out.close();
  if (out) return true;
  std::fprintf(stderr, "tablift-cli migrate: cannot write %s\n", where.c_str());
  return false;
}

}  // namespace

int RunManyFiles(const ManyFilesRun& run) {
  ReportFolder reports;
  if (!reports.made()) {
    std::fputs("tablift-cli migrate: cannot make a folder for the files' reports\n", stderr);
    return 1;
  }
  std::vector<ChildRun> children;
  for (std::size_t i = 0; i < run.files.size(); ++i) {
    ChildRun child{.label = run.files[i].filename().string(),
                   .arguments = {"/proc/self/exe", "migrate", run.files[i].string()}};
    child.arguments.insert(child.arguments.end(), run.perFileArguments.begin(),
                           run.perFileArguments.end());
    child.arguments.insert(child.arguments.end(),
                           {"--report", reports.reportOf(i).string(), "--cache-folder",
                            (run.cacheFolder / CloneDatabaseName(run.files[i])).string()});
    children.push_back(std::move(child));
  }
  // What was written so far is out before the children write beside it.
  std::fflush(stdout);
  RunChildren(children, run.jobs);

  std::vector<FileOutcome> outcomes;
  bool allSucceeded = true;
  std::string lines = "\n";
  for (std::size_t i = 0; i < run.files.size(); ++i) {
    outcomes.push_back(OutcomeOf(run.files[i], children[i], reports.reportOf(i)));
    allSucceeded = allSucceeded && outcomes.back().success;
    lines += LineOf(outcomes.back()) + "\n";
  }
  std::fputs(lines.c_str(), stdout);
  std::fflush(stdout);
  const bool reported = run.report.empty() || WriteReport(run.report, outcomes);
  return allSucceeded && reported ? 0 : 1;
}

}  // namespace tablift
