#include "engine/run_report.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>

#include "engine/json_value.h"

namespace tablift {
namespace {

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string JsonTally(const ObjectTally& tally) {
  std::string out = "{\"made\":" + std::to_string(tally.made) + ",\"left_out\":[";
  for (std::size_t i = 0; i < tally.leftOut.size(); ++i) {
    if (i > 0) out += ',';
    out += "{\"name\":" + JsonString(tally.leftOut[i].name) +
           ",\"reason\":" + JsonString(tally.leftOut[i].reason) + "}";
  }
  return out + "]}";
}

// A reason in a few words for a one-line table: its first line without the
// driver's and server's tags in front ("[ma-3.1.15][10.11.19-MariaDB]"), cut
// short.
std::string Brief(const std::string& reason) {
  constexpr std::size_t kWidth = 60;
  std::string line = reason.substr(0, reason.find_first_of("\r\n"));
  while (line.starts_with('[') && line.find(']') != std::string::npos)
    line.erase(0, line.find(']') + 1);
  if (line.size() > kWidth) line = line.substr(0, kWidth - 3) + "...";
  return line;
}

void TallyLines(std::string& out, const char* title, const ObjectTally& tally) {
  out += std::string(title) + ": " + std::to_string(tally.made) + " made, " +
         std::to_string(tally.leftOut.size()) + " left out\n";
  for (const LeftOut& object : tally.leftOut)
    out += "  " + object.name + ": " + Brief(object.reason) + "\n";
}

TableStatus StatusOfText(const std::string& text) {
  for (const TableStatus status :
       {TableStatus::Migrated, TableStatus::Incomplete, TableStatus::NotCreated}) {
    if (text == StatusText(status)) return status;
  }
  return TableStatus::Incomplete;
}

ObjectTally TallyOf(const JsonValue& json) {
  ObjectTally tally;
  tally.made = static_cast<int>(json["made"].number);
  for (const JsonValue& object : json["left_out"].items)
    tally.leftOut.push_back({object["name"].text, object["reason"].text});
  return tally;
}

}  // namespace

std::string IsoTime(double secondsSinceEpoch) {
  const auto whole = static_cast<std::time_t>(std::floor(secondsSinceEpoch));
  const int millis = static_cast<int>((secondsSinceEpoch - std::floor(secondsSinceEpoch)) * 1000);
  std::tm utc{};
  gmtime_r(&whole, &utc);
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                std::clamp(millis, 0, 999));
  return text;
}

std::string SummaryText(const RunSummary& summary) {
  // Columns line up by characters: a name such as "Umsätze" has more bytes
  // than it takes places on a terminal.
  const auto characters = [](const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
  };
  std::size_t nameWidth = 5;
  for (const TableSummary& table : summary.tables)
    nameWidth = std::max(nameWidth, characters(table.name));
  char line[512];
  std::string out;
  const auto row = [&](const std::string& name, const std::string& read, const std::string& written,
                       const std::string& refused, const std::string& seconds,
                       const std::string& status, const std::string& reason) {
    out += name + std::string(nameWidth - characters(name), ' ');
    std::snprintf(line, sizeof line, "  %10s  %10s  %8s  %8s  %-11s", read.c_str(), written.c_str(),
                  refused.c_str(), seconds.c_str(), status.c_str());
    out += line;
    if (!reason.empty()) out += "  " + reason;
    while (!out.empty() && out.back() == ' ')
      out.pop_back();
    out += '\n';
  };
  row("table", "read", "written", "refused", "seconds", "status", "reason");
  std::int64_t read = 0;
  std::int64_t written = 0;
  std::int64_t refused = 0;
  int whole = 0;
  for (const TableSummary& table : summary.tables) {
    row(table.name, std::to_string(table.rowsRead), std::to_string(table.rowsWritten),
        std::to_string(table.rowsRefused), Fixed(table.seconds, 2), StatusText(table.status),
        // What a resumed run did with the table, unless something went wrong.
        Brief(table.reason.empty() ? table.resumed : table.reason));
    read += table.rowsRead;
    written += table.rowsWritten;
    refused += table.rowsRefused;
    if (table.status == TableStatus::Migrated) ++whole;
  }
  const double seconds = std::max(0.0, summary.finished - summary.started);
  const bool allWhole = whole == static_cast<int>(summary.tables.size());
  row("Total", std::to_string(read), std::to_string(written), std::to_string(refused),
      Fixed(seconds, 2), allWhole ? "SUCCESS" : "INCOMPLETE",
      std::to_string(whole) + " of " + std::to_string(summary.tables.size()) + " tables whole");
  TallyLines(out, "Keys", summary.keys);
  TallyLines(out, "Foreign keys", summary.foreignKeys);
  TallyLines(out, "Views", summary.views);
  TallyLines(out, "Procedures", summary.procedures);
  return out;
}

Result<RunSummary> ReadSummaryJson(std::string_view json) {
  const Result<JsonValue> parsed = ParseJson(json);
  if (!parsed.ok()) return Status::Failure("the run report is no JSON: " + parsed.message());
  const JsonValue& report = parsed.value();
  if (report["tables"].kind != JsonValue::Kind::Array)
    return Status::Failure("the run report lists no tables");
  RunSummary summary;
  for (const JsonValue& table : report["tables"].items) {
    summary.tables.push_back(
        TableSummary{.name = table["name"].text,
                     .rowsRead = static_cast<std::int64_t>(table["rows_read"].number),
                     .rowsWritten = static_cast<std::int64_t>(table["rows_written"].number),
                     .rowsRefused = static_cast<std::int64_t>(table["rows_refused"].number),
                     .seconds = table["seconds"].number,
                     .status = StatusOfText(table["status"].text),
                     .reason = table["reason"].text});
  }
  summary.keys = TallyOf(report["keys"]);
  summary.foreignKeys = TallyOf(report["foreign_keys"]);
  summary.views = TallyOf(report["views"]);
  summary.procedures = TallyOf(report["procedures"]);
  summary.source = report["source"].text;
  summary.target = report["target"].text;
  return summary;
}

std::string SummaryJson(const RunSummary& summary) {
  std::string out = "{\"tables\":[";
  for (std::size_t i = 0; i < summary.tables.size(); ++i) {
    const TableSummary& table = summary.tables[i];
    if (i > 0) out += ',';
    out += "{\"name\":" + JsonString(table.name) +
           ",\"rows_read\":" + std::to_string(table.rowsRead) +
           ",\"rows_written\":" + std::to_string(table.rowsWritten) +
           ",\"rows_refused\":" + std::to_string(table.rowsRefused) +
           ",\"seconds\":" + Fixed(table.seconds, 3) +
           ",\"status\":" + JsonString(StatusText(table.status)) +
           ",\"reason\":" + JsonString(table.reason) +
           (table.resumed.empty() ? "" : ",\"resumed\":" + JsonString(table.resumed)) + "}";
  }
  out += "],\"keys\":" + JsonTally(summary.keys) +
         ",\"foreign_keys\":" + JsonTally(summary.foreignKeys) +
         ",\"views\":" + JsonTally(summary.views) +
         ",\"procedures\":" + JsonTally(summary.procedures) +
         ",\"started\":" + JsonString(IsoTime(summary.started)) +
         ",\"finished\":" + JsonString(IsoTime(summary.finished)) +
         ",\"source\":" + JsonString(summary.source) + ",\"target\":" + JsonString(summary.target) +
         "}\n";
  return out;
}

namespace {

Status WriteWhole(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return Status::Failure("cannot write " + file.string() + ": " + std::strerror(errno));
  out << text;
  out.close();
  if (!out) return Status::Failure("cannot write " + file.string() + ": " + std::strerror(errno));
  return Status::Ok();
}

}  // namespace

Status WriteSummaryJson(const std::filesystem::path& file, const RunSummary& summary) {
  return WriteWhole(file, SummaryJson(summary));
}

std::string SummaryHeader(const RunSummary& summary) {
  return "Source: " + summary.source + "\nTarget: " + summary.target +
         "\nStarted: " + IsoTime(summary.started) + "\nFinished: " + IsoTime(summary.finished) +
         "\n";
}

Status WriteSummaryText(const std::filesystem::path& file, const RunSummary& summary) {
  return WriteWhole(file, SummaryHeader(summary) + "\n" + SummaryText(summary));
}

bool SummaryIsEmpty(const RunSummary& summary) {
  const auto untouched = [](const ObjectTally& tally) {
    return tally.made == 0 && tally.leftOut.empty();
  };
  return summary.tables.empty() && untouched(summary.keys) && untouched(summary.foreignKeys) &&
         untouched(summary.views) && untouched(summary.procedures);
}

double SecondsSinceEpoch() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace tablift
