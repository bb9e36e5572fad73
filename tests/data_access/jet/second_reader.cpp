#include "tests/data_access/jet/second_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/data_access/jet/jet_test_database.h"
#include "tests/support/run_program.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

std::optional<std::filesystem::path> MdbReaderEntry() {
  const char* modules = std::getenv("TABLIFT_NODE_MODULES");
  if (modules == nullptr || *modules == '\0') return std::nullopt;
  const auto entry = std::filesystem::path(modules) / "mdb-reader" / "lib" / "node" / "index.js";
  if (!std::filesystem::exists(entry)) return std::nullopt;
  return entry;
}

std::optional<std::filesystem::path> Node() {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const auto node = std::filesystem::path(folder) / "node";
    if (!folder.empty() && std::filesystem::exists(node)) return node;
  }
  return std::nullopt;
}

// Each row of the table on a line, each value in the provider's text form
// as hexadecimal UTF-8 ("N" for Null), so that any text survives the trip.
constexpr const char* kScript = R"(
import { readFileSync, writeFileSync } from "fs";
const [entry, file, password, name, out] = process.argv.slice(2);
const { default: MDBReader } = await import(entry);
const reader = new MDBReader(readFileSync(file), { password });
const table = reader.getTable(name);
const two = (n) => String(n).padStart(2, "0");
const text = (v) => typeof v === "boolean" ? (v ? "True" : "False")
    : Buffer.isBuffer(v) ? v.toString("hex").toUpperCase()
    : v instanceof Date ? v.getUTCFullYear() + "-" + two(v.getUTCMonth() + 1) + "-" +
        two(v.getUTCDate()) + " " + two(v.getUTCHours()) + ":" + two(v.getUTCMinutes()) + ":" +
        two(v.getUTCSeconds())
    : String(v);
const lines = [table.getColumnNames().map((c) => Buffer.from(c).toString("hex")).join(" ")];
for (const row of table.getData()) {
  lines.push(table.getColumnNames().map((c) => row[c] === null ? "N"
      : Buffer.from(text(row[c])).toString("hex")).join(" "));
}
writeFileSync(out, lines.join("\n") + "\n");
)";

constexpr const char* kAttachmentScript = R"(
import { readFileSync, writeFileSync } from "fs";
const [entry, file, name, rowColumn, column, out] = process.argv.slice(2);
const { default: MDBReader } = await import(entry);
const table = new MDBReader(readFileSync(file)).getTable(name);
const hex = (text) => Buffer.from(String(text)).toString("hex");
const lines = [];
for (const row of table.getData()) {
  for (const file of row[column] ?? []) {
    lines.push([hex(row[rowColumn]), hex(file.name), hex(file.type),
                file.data.length ? file.data.toString("hex") : "-"].join(" "));
  }
}
writeFileSync(out, lines.join("\n") + "\n");
)";

// Runs a script with node: its output file's lines, or nothing when node or
// mdb-reader is not there.
std::optional<std::vector<std::string>> RunScript(const char* text,
                                                  std::vector<std::string> arguments) {
  const auto entry = MdbReaderEntry();
  const auto node = Node();
  if (!entry || !node) return std::nullopt;
  ScopedTempDir directory;
  const auto script = directory.path() / "read.mjs";
  const auto output = directory.path() / "out.txt";
  std::ofstream(script) << text;
  arguments.insert(arguments.begin(), {node->string(), script.string(), entry->string()});
  arguments.push_back(output.string());
  const ProgramRun run = RunProgram(arguments, directory.path());
  EXPECT_EQ(run.exitCode, 0) << run.output;
  std::vector<std::string> lines;
  std::ifstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::string FromHex(const std::string& hex) {
  std::string text;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return text;
}

std::vector<std::optional<std::string>> Cells(const std::string& line) {
  std::vector<std::optional<std::string>> cells;
  std::stringstream words(line);
  std::string word;
  while (words >> word)
    cells.push_back(word == "N" ? std::nullopt : std::optional<std::string>(FromHex(word)));
  return cells;
}

}  // namespace

std::optional<std::vector<SecondReaderAttachment>> AttachmentsBySecondReader(
    const std::string& path, const std::string& table, const std::string& rowColumn,
    const std::string& column) {
  const auto lines = RunScript(kAttachmentScript, {path, table, rowColumn, column});
  if (!lines) return std::nullopt;
  std::vector<SecondReaderAttachment> files;
  for (const std::string& line : *lines) {
    std::stringstream words(line);
    std::string row, name, type, data;
    words >> row >> name >> type >> data;
    const std::string bytes = data == "-" ? std::string() : FromHex(data);
    files.push_back({FromHex(row), FromHex(name), FromHex(type),
                     std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
  }
  return files;
}

void ExpectSameAsSecondReader(Session& session, const std::string& path,
                              const std::string& password, const std::string& table) {
  const auto entry = MdbReaderEntry();
  const auto node = Node();
  if (!entry || !node) GTEST_SKIP() << "mdb-reader or node is not installed";
  ScopedTempDir directory;
  const auto script = directory.path() / "read.mjs";
  const auto output = directory.path() / "rows.txt";
  std::ofstream(script) << kScript;
  const ProgramRun run = RunProgram(
      {node->string(), script.string(), entry->string(), path, password, table, output.string()},
      directory.path());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::ifstream in(output);
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  std::vector<std::string> header;
  for (const auto& cell : Cells(line))
    header.push_back(cell.value_or(""));
  std::vector<std::vector<std::optional<std::string>>> theirs;
  while (std::getline(in, line))
    theirs.push_back(Cells(line));

  const QueryRows ours = RunQuery(session, "select * from [" + table + "]");
  ASSERT_EQ(ours.error, "");
  ASSERT_EQ(ours.rows.size(), theirs.size());
  ASSERT_EQ(ours.columns.size(), header.size() + 1);  // the bookmark first
  for (std::size_t c = 1; c < ours.columns.size(); ++c)
    EXPECT_EQ(ours.columns[c].name, header[c - 1]);
  for (std::size_t r = 0; r < theirs.size(); ++r) {
    ASSERT_EQ(theirs[r].size(), header.size());
    for (std::size_t c = 0; c < header.size(); ++c) {
      SCOPED_TRACE(table + " row " + std::to_string(r) + " column " + header[c]);
      const ColumnValue& mine = ours.rows[r][c];
      const std::optional<std::string>& other = theirs[r][c];
      ASSERT_EQ(mine.null, !other.has_value());
      if (mine.null) continue;
      const std::uint16_t type = ours.columns[c + 1].type;
      if (type == DBTYPE_R4 || type == DBTYPE_R8) {
        EXPECT_DOUBLE_EQ(std::stod(mine.text), std::stod(*other));
      } else {
        EXPECT_EQ(mine.text, *other);
      }
    }
  }
}

}  // namespace tablift::test
