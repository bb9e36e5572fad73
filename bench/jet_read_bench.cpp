// Rows per second reading one table through the Jet provider (as the row
// transfer reads it: every column of every row as text, long values whole),
// beside mdbtools' mdb-export of the same table.
//
//   jet_read_bench [file.mdb [table]]
//
// Without arguments it reads the table with the most rows among the Access
// files of ../shared/fixtures (TABLIFT_FIXTURES_DIR overrides the folder).

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "data_access/catalog_rowsets.h"
#include "data_access/data_source.h"
#include "data_access/error_texts.h"
#include "data_access/property_set.h"
#include "data_access/provider_registry.h"
#include "data_access/session.h"
#include "data_access/text_query.h"

namespace {

using Clock = std::chrono::steady_clock;
using tablift::HResult;

// Each measurement repeats its reading until this much time has passed.
constexpr auto kMinimumMeasurement = std::chrono::seconds(2);

struct Source {
  tablift::DataSource dataSource;
  tablift::Session session;
};

bool Open(const std::string& path, Source& source, bool quiet = false) {
  tablift::PropertySet init(tablift::PropertySetId::DBInit);
  init.addString(tablift::DBPROP_INIT_DATASOURCE, path);
  tablift::Clsid clsid = nullptr;
  HResult result = tablift::CLSIDFromProgID("Microsoft.Jet.OLEDB.4.0", clsid);
  if (result == tablift::S_OK) result = source.dataSource.open(clsid, &init, 1);
  if (result != tablift::S_OK) {
    if (quiet) return false;
    std::fprintf(
        stderr, "%s\n",
        tablift::DescribeOleDbError(&source.dataSource, tablift::InterfaceId::IDBInitialize)
            .c_str());
    return false;
  }
  return source.session.open(source.dataSource) == tablift::S_OK;
}

// Reads the whole table once; the number of rows, or nothing on failure.
std::optional<long> ReadTable(tablift::Session& session, const std::string& table) {
  const tablift::PropertySet properties = tablift::QueryRowsetProperties();
  long rows = 0;
  const std::string error = tablift::RunTextQuery(
      &session, "select * from [" + table + "]", &properties, [&](const tablift::TextRow& row) {
        tablift::ColumnValue value;
        for (std::size_t k = 1; k < row.columnCount(); ++k)
          row.fullValue(k, value);
        ++rows;
        return true;
      });
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return std::nullopt;
  }
  return rows;
}

std::optional<long> CountRows(tablift::Session& session, const std::string& table) {
  const tablift::PropertySet properties = tablift::QueryRowsetProperties();
  long count = -1;
  tablift::RunTextQuery(&session, "select count(*) from [" + table + "]", &properties,
                        [&](const tablift::TextRow& row) {
                          count = std::atol(std::string(row.text(1)).c_str());
                          return false;
                        });
  if (count < 0) return std::nullopt;
  return count;
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool RunMdbExport(const std::string& path, const std::string& table) {
  const std::string command =
      "mdb-export -b hex " + ShellQuoted(path) + " " + ShellQuoted(table) + " > /dev/null 2>&1";
  const int status = std::system(command.c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Repeats `read` until the measurement has run long enough; rows per second.
template <typename Read>
std::optional<double> Measure(long rowsPerRead, Read read, int& repetitions) {
  repetitions = 0;
  const auto started = Clock::now();
  do {
    if (!read()) return std::nullopt;
    ++repetitions;
  } while (Clock::now() - started < kMinimumMeasurement);
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  return static_cast<double>(rowsPerRead) * repetitions / seconds;
}

std::filesystem::path FixturesFolder() {
  if (const char* configured = std::getenv("TABLIFT_FIXTURES_DIR")) return configured;
  return std::filesystem::weakly_canonical(TABLIFT_DEFAULT_FIXTURES_DIR);
}

// The table with the most rows among the fixtures.
bool FindBiggestTable(std::string& path, std::string& table) {
  long most = -1;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(FixturesFolder(), error)) {
    if (entry.path().extension() != ".mdb") continue;
    Source source;
    if (!Open(entry.path().string(), source, true)) continue;
    tablift::TablesRowset tables;
    if (tables.open(source.session, {}, {}, {}, "TABLE") != tablift::S_OK) continue;
    while (tables.moveNext() == tablift::S_OK) {
      const std::optional<long> rows = CountRows(source.session, tables.row().tableName);
      if (rows && *rows > most) {
        most = *rows;
        path = entry.path().string();
        table = tables.row().tableName;
      }
    }
  }
  return most >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string path;
  std::string table;
  if (argc >= 3) {
    path = argv[1];
    table = argv[2];
  } else if (!FindBiggestTable(path, table)) {
    std::fprintf(stderr, "No Access file with a table found in %s\n",
                 FixturesFolder().string().c_str());
    return 1;
  }

  Source source;
  if (!Open(path, source)) return 1;
  const std::optional<long> rows = CountRows(source.session, table);
  if (!rows) return 1;
  std::printf("table: %s in %s, %ld rows\n", table.c_str(), path.c_str(), *rows);

  int repetitions = 0;
  const std::optional<double> provider = Measure(
      *rows, [&] { return ReadTable(source.session, table).has_value(); }, repetitions);
  if (!provider) return 1;
  std::printf("Jet provider: %12.0f rows/s (%d readings)\n", *provider, repetitions);

  const std::optional<double> exported = Measure(
      *rows, [&] { return RunMdbExport(path, table); }, repetitions);
  if (exported) {
    std::printf("mdb-export:   %12.0f rows/s (%d runs, including its process start)\n", *exported,
                repetitions);
  } else {
    std::printf("mdb-export:   not available\n");
  }
  return 0;
}
