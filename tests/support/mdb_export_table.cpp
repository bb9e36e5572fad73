#include "tests/support/mdb_export_table.h"

#include <cstdio>

namespace tablift::test {
namespace {

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// RFC 4180 records: quoted cells may hold commas, doubled quotes and line
// breaks; an empty unquoted cell is mdb-export's NULL.
std::vector<std::vector<ExportedCell>> ParseCsv(const std::string& text) {
  std::vector<std::vector<ExportedCell>> records;
  std::vector<ExportedCell> record;
  std::string cell;
  bool quoted = false;
  bool inQuotes = false;
  auto endCell = [&] {
    record.push_back(quoted || !cell.empty() ? ExportedCell(cell) : std::nullopt);
    cell.clear();
    quoted = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inQuotes) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        inQuotes = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      inQuotes = true;
      quoted = true;
    } else if (c == ',') {
      endCell();
    } else if (c == '\n') {
      endCell();
      records.push_back(std::move(record));
      record.clear();
    } else if (c != '\r') {
      cell += c;
    }
  }
  if (!cell.empty() || !record.empty()) {
    endCell();
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace

std::optional<ExportedTable> MdbExport(const std::string& path, const std::string& table) {
  const std::string command = "mdb-export -b hex -T '%Y-%m-%d %H:%M:%S' " + ShellQuoted(path) +
                              " " + ShellQuoted(table) + " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string output;
  char buffer[65536];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    output.append(buffer, read);
  if (::pclose(pipe) != 0 || output.empty()) return std::nullopt;
  std::vector<std::vector<ExportedCell>> records = ParseCsv(output);
  ExportedTable exported;
  for (const ExportedCell& name : records.front())
    exported.header.push_back(name.value_or(""));
  records.erase(records.begin());
  exported.rows = std::move(records);
  return exported;
}

}  // namespace tablift::test
