#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <limits>

#include "access/sample_database.h"
#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/deleted_column_tables.h"
#include "tests/support/test_paths.h"

// The npm package mdb-reader is a reader written independently of libmdb;
// what it reads the same way is not an agreement between the writer and one
// reader's habits. The tests look for it under TABLIFT_NODE_MODULES (a
// node_modules folder holding mdb-reader; scripts/install-test-readers puts
// it into the build directory when npm can reach its registry) and skip when
// it is not there.
namespace tablift::jet {
namespace {

using ::testing::ElementsAre;

std::optional<std::filesystem::path> MdbReaderEntry() {
  const char* modules = std::getenv("TABLIFT_NODE_MODULES");
  if (modules == nullptr || *modules == '\0') return std::nullopt;
  const auto entry = std::filesystem::path(modules) / "mdb-reader" / "lib" / "node" / "index.js";
  if (!std::filesystem::exists(entry)) return std::nullopt;
  return entry;
}

// Every table of a database as mdb-reader reads it: one line per table with
// the column types, then one line per row with each value as text.
std::string ReadWithMdbReader(const std::filesystem::path& entry,
                              const std::filesystem::path& database,
                              const std::filesystem::path& scratch,
                              const std::string& mode = "values") {
  const auto script = scratch / "read.mjs";
  std::ofstream(script) << "import MDBReader from " << entry << ";\n"
                        << R"(
import { readFileSync } from "fs";
const reader = new MDBReader(readFileSync(process.argv[2]));
const show = (v) => v === null ? "null"
    : Buffer.isBuffer(v) ? "0x" + v.toString("hex")
    : v instanceof Date ? v.toISOString()
    : String(v);
for (const name of reader.getTableNames()) {
  const table = reader.getTable(name);
  if (process.argv[3] === "counts") {
    console.log(name + "=" + table.getData().length);
    continue;
  }
  console.log(name + ": " + table.getColumns().map((c) => c.type).join(","));
  for (const row of table.getData()) {
    console.log(table.getColumnNames().map((c) => show(row[c])).join("|"));
  }
}
)";
  const auto output = test::RunMdbTool("node", {script.string(), database.string(), mode});
  EXPECT_EQ(output.exitCode, 0) << output.err;
  return output.out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

TEST(SecondReaderTest, MdbReaderReadsEveryTypeValueForValue) {
  const auto entry = MdbReaderEntry();
  if (!entry) GTEST_SKIP() << "mdb-reader is not installed under TABLIFT_NODE_MODULES";
  tablift::test::ScopedTempDir directory;
  const auto path = directory.path() / "second.mdb";
  TableDesign design{"Everything",
                     {{.name = "Id", .type = JetType::Long, .autoNumber = true},
                      {.name = "Name", .type = JetType::Text, .size = 20},
                      {.name = "Notes", .type = JetType::Memo},
                      {.name = "Small", .type = JetType::Byte},
                      {.name = "Medium", .type = JetType::Integer},
                      {.name = "Ratio", .type = JetType::Single},
                      {.name = "Measure", .type = JetType::Double},
                      {.name = "Price", .type = JetType::Currency},
                      {.name = "Exact", .type = JetType::Decimal, .precision = 12, .scale = 3},
                      {.name = "When", .type = JetType::DateTime},
                      {.name = "Done", .type = JetType::Boolean},
                      {.name = "Key", .type = JetType::ReplicationId},
                      {.name = "Code", .type = JetType::Binary, .size = 8},
                      {.name = "Picture", .type = JetType::OleObject}},
                     std::nullopt,
                     {{.name = "PrimaryKey", .columns = {{"Id"}}, .primaryKey = true}}};
  std::vector<std::uint8_t> picture(9000);
  for (std::size_t i = 0; i < picture.size(); ++i)
    picture[i] = static_cast<std::uint8_t>(i % 7);
  std::vector<Value> full = {Null{},
                             std::string("Grüße 東京 😀"),
                             std::string(5000, 'm'),
                             std::int64_t{255},
                             std::int64_t{-32768},
                             0.5,
                             std::numeric_limits<double>::lowest(),
                             Currency{-9999999},
                             Decimal{"-123456789.125"},
                             DateTime{45000.75},
                             true,
                             Guid{"{6F9619FF-8B86-D011-B42D-00C04FC964FF}"},
                             Bytes{{0, 1, 0, 0}},
                             Bytes{picture}};
  std::vector<Value> empty(design.columns.size(), Null{});
  empty[10] = false;
  ASSERT_TRUE(test::WriteDatabase(path, {{design, {full, empty}}}));

  const auto lines = Lines(ReadWithMdbReader(*entry, path, directory.path()));
  std::string pictureHex = "0x";
  for (const std::uint8_t byte : picture) {
    pictureHex += "0123456789abcdef"[byte >> 4];
    pictureHex += "0123456789abcdef"[byte & 15];
  }
  EXPECT_THAT(lines,
              ElementsAre("Everything: long,text,memo,byte,integer,float,double,currency,numeric,"
                          "datetime,boolean,repid,binary,ole",
                          "1|Grüße 東京 😀|" + std::string(5000, 'm') +
                              "|255|-32768|0.5|-1.7976931348623157e+308|-999.9999|"
                              "-123456789.125|2023-03-15T18:00:00.000Z|true|"
                              "6f9619ff-8b86-d011-b42d-00c04fc964ff|0x00010000|" +
                              pictureHex,
                          "2|null|null|null|null|null|null|null|null|null|false|null|null|null"));
}

// The whole sample database, as the demo and the benchmarks write it: the
// independent reader finds the same tables and the same number of rows, and
// decodes every value of every row (long values and all) without an error.
TEST(SecondReaderTest, MdbReaderReadsTheWholeSampleDatabase) {
  const auto entry = MdbReaderEntry();
  if (!entry) GTEST_SKIP() << "mdb-reader is not installed under TABLIFT_NODE_MODULES";
  tablift::test::ScopedTempDir directory;
  const auto path = directory.path() / "sample.mdb";
  SampleSummary summary;
  ASSERT_TRUE(WriteSampleDatabase(path, 3000, summary).ok());

  const auto lines = Lines(ReadWithMdbReader(*entry, path, directory.path(), "counts"));
  std::uint64_t rows = 0;
  std::vector<std::string> names;
  for (const auto& line : lines) {
    const auto equals = line.rfind('=');
    ASSERT_NE(equals, std::string::npos) << line;
    names.push_back(line.substr(0, equals));
    rows += std::stoull(line.substr(equals + 1));
  }
  EXPECT_EQ(static_cast<int>(names.size()), summary.tables);
  EXPECT_EQ(rows, summary.rows);

  const auto listed = test::RunMdbTool("mdb-tables", {"-1", path.string()});
  for (const auto& name : Lines(listed.out)) {
    EXPECT_THAT(names, ::testing::Contains(name));
  }
}

// Deleted columns leave gaps among the column numbers and empty places in
// the rows; mdb-reader, which finds a value by the column's number, its
// variable slot and its fixed offset, reads each value in its own column.
TEST(SecondReaderTest, MdbReaderReadsTablesWithDeletedColumns) {
  const auto entry = MdbReaderEntry();
  if (!entry) GTEST_SKIP() << "mdb-reader is not installed under TABLIFT_NODE_MODULES";
  tablift::test::ScopedTempDir directory;
  const auto path = directory.path() / "deleted.mdb";
  ASSERT_TRUE(tablift::test::WriteDeletedColumnTables(path));

  std::vector<std::string> expected = {"Pairs: text,text",
                                       "Contacts: text,text,text,text,text,text,text,text,text"};
  for (const tablift::test::DeletedColumnTable& table : tablift::test::DeletedColumnTables()) {
    if (table.design.name != "Contacts") continue;
    for (const std::vector<Value>& row : table.rows) {
      std::string line;
      for (const Value& value : row) {
        if (!line.empty()) line += "|";
        line += std::holds_alternative<Null>(value) ? "null" : std::get<std::string>(value);
      }
      expected.push_back(line);
    }
  }
  expected.insert(
      expected.end(),
      {"Ledger: long,double,boolean,text,datetime", "1|12.5|true|Rent|2023-03-15T12:00:00.000Z",
       "2|null|false|null|2023-03-16T00:00:00.000Z", "3|-0.25|true|Fee|null"});
  EXPECT_THAT(Lines(ReadWithMdbReader(*entry, path, directory.path())),
              ::testing::ElementsAreArray(expected));
}

}  // namespace
}  // namespace tablift::jet
