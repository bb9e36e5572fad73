#include "fuzz/fuzz_entries.h"

#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/error_info.h"
#include "data_access/jet/file_header.h"
#include "data_access/jet/libmdb_database.h"
#include "data_access/jet/reader_protocol.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/query_executor.h"
#include "data_access/jet/sql/sql_parser.h"
#include "data_access/jet/system_catalog.h"
#include "data_access/jet/table_description.h"
#include "data_access/jet/table_reader.h"
#include "data_access/jet/wire_format.h"
#include "data_access/profile_file.h"

namespace tablift::fuzz {
namespace {

using jet::JetType;
using jet::Value;

// A file of this process's own for inputs that must be read from a path.
std::filesystem::path ScratchFile(const char* name) {
  std::error_code ignored;
  return std::filesystem::temp_directory_path(ignored) /
         ("tablift-fuzz-" + std::to_string(::getpid()) + "-" + name);
}

void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// --- Access SQL ------------------------------------------------------------

struct MemoryTable {
  std::string name;
  std::vector<jet::SourceColumn> columns;
  std::vector<std::vector<Value>> rows;
};

class MemoryCursor : public jet::RowCursor {
 public:
  explicit MemoryCursor(const MemoryTable& table) : table_(table) {}
  HResult next(std::vector<Value>& row) override {
    if (position_ >= table_.rows.size()) return DB_S_ENDOFROWSET;
    row = table_.rows[position_++];
    return S_OK;
  }

 private:
  const MemoryTable& table_;
  std::size_t position_ = 0;
};

class MemorySource : public jet::TableSource {
 public:
  explicit MemorySource(const MemoryTable& table) : table_(table) {}
  const std::string& name() const override { return table_.name; }
  const std::vector<jet::SourceColumn>& columns() const override { return table_.columns; }
  HResult open(std::unique_ptr<jet::RowCursor>& cursor) override {
    cursor = std::make_unique<MemoryCursor>(table_);
    return S_OK;
  }

 private:
  const MemoryTable& table_;
};

// Two small tables with a column of every kind the evaluator meets, Nulls
// included, so that most expressions have something to work on.
class MemoryCatalog : public jet::TableCatalog {
 public:
  MemoryCatalog() {
    const std::vector<jet::SourceColumn> columns = {
        {"Id", JetType::Long, 4, 0, 0},        {"Name", JetType::Text, 50, 0, 0},
        {"Price", JetType::Currency, 8, 0, 0}, {"Ratio", JetType::Double, 8, 0, 0},
        {"Day", JetType::DateTime, 8, 0, 0},   {"Amount", JetType::Decimal, 17, 18, 4},
        {"Flag", JetType::Boolean, 1, 0, 0},   {"Notes", JetType::Memo, 0, 0, 0},
        {"Blob", JetType::OleObject, 0, 0, 0},
    };
    tables_.push_back(
        {"One",
         columns,
         {{std::int64_t{1}, std::string("Ab'c"), jet::Currency{12345}, 2.5, jet::DateTime{36526.75},
           jet::Decimal{"-12.5"}, true, std::string("x\xC3\xA4y"), jet::Bytes{{0, 1, 255}}}}});
    tables_.push_back(
        {"Items",
         columns,
         {{std::int64_t{2}, std::string("Tea"), jet::Currency{-40000}, -0.0, jet::DateTime{-1.5},
           jet::Decimal{"0.0001"}, false, std::string(), jet::Bytes{}},
          {std::int64_t{-2147483647 - 1}, jet::Null{}, jet::Null{}, jet::Null{}, jet::Null{},
           jet::Null{}, jet::Null{}, jet::Null{}, jet::Null{}},
          {std::int64_t{2147483647}, std::string("%_[!a-z]*?#"), jet::Currency{922337203685477},
           1e308, jet::DateTime{2958465.99}, jet::Decimal{"99999999999999.9999"}, true,
           std::string(300, 'm'), jet::Bytes{{'M', 'Z'}}}}});
  }

  std::unique_ptr<jet::TableSource> table(const std::string& name) override {
    for (const MemoryTable& table : tables_) {
      if (name.size() == table.name.size() &&
          std::equal(name.begin(), name.end(), table.name.begin(),
                     [](char a, char b) { return (a | 0x20) == (b | 0x20); })) {
        return std::make_unique<MemorySource>(table);
      }
    }
    return nullptr;
  }

 private:
  std::vector<MemoryTable> tables_;
};

std::size_t TablesIn(const jet::FromNode& node) {
  if (!node.isJoin) return 1;
  return (node.left ? TablesIn(*node.left) : 0) + (node.right ? TablesIn(*node.right) : 0);
}

// Each extra table in FROM multiplies the rows a query looks at; beyond a
// few, an input only measures patience.
constexpr std::size_t kMostTables = 4;
constexpr std::size_t kMostRows = 10000;

}  // namespace

void RunAccessQuery(std::span<const std::uint8_t> input) {
  const std::string_view sql(reinterpret_cast<const char*>(input.data()), input.size());
  std::size_t tables = 0;
  try {
    const jet::SelectStatement statement = jet::ParseSelect(sql);
    for (const auto& entry : statement.from)
      tables += TablesIn(*entry);
  } catch (const jet::QueryError&) {
    // The executor reports the same syntax error as a failed command below.
  }
  if (tables > kMostTables) return;
  MemoryCatalog catalog;
  std::unique_ptr<jet::QueryResult> result;
  if (Failed(jet::ExecuteJetQuery(catalog, sql, result)) || !result) return;
  std::vector<Value> row;
  for (std::size_t rows = 0; rows < kMostRows; ++rows) {
    const HResult status = result->next(row);
    if (status != S_OK) break;
    if (row.size() != result->columns().size()) std::abort();
  }
  ClearThreadErrorObject();
}

// --- Profile files ---------------------------------------------------------

void RunProfileFile(std::span<const std::uint8_t> input) {
  std::vector<std::string_view> parts;
  std::string_view rest(reinterpret_cast<const char*>(input.data()), input.size());
  while (parts.size() < 3) {
    const std::size_t nul = rest.find('\0');
    if (nul == std::string_view::npos) break;
    parts.push_back(rest.substr(0, nul));
    rest.remove_prefix(nul + 1);
  }
  parts.push_back(rest);
  parts.resize(4);
  const std::string_view content = parts[0];
  const std::string_view section = parts[1];
  const std::string_view key = parts[2];
  const std::string_view value = parts[3];

  const std::filesystem::path file = ScratchFile("profile.ini");
  WriteFile(file, std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
  ReadProfileString(file, section, key, "(none)");
  std::string error;
  if (WriteProfileString(file, section, key, value, &error)) {
    // A value the writer takes must read back exactly as written.
    if (ReadProfileString(file, section, key, "\x01(missing)") != value) std::abort();
  } else if (error.empty()) {
    std::abort();  // a refusal always says why
  }
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
}

// --- Access files ----------------------------------------------------------

namespace {

constexpr std::size_t kRowsPerTable = 200;

// The table's rows as the reader process would send them, a few at most.
void ReadSomeRows(jet::LibmdbDatabase& database, jet::SystemCatalog& catalog,
                  const jet::CatalogObject& object, const jet::TableLayout& layout) {
  std::string problem;
  std::unique_ptr<jet::TableReader> reader =
      jet::TableReader::open(database, catalog.entry(database, object), layout, problem);
  if (!reader) return;
  jet::WireWriter out;
  Value value;
  for (std::size_t row = 0; row < kRowsPerTable; ++row) {
    if (reader->advance(problem) != jet::TableReader::Step::Row) return;
    for (std::size_t column = 0; column < reader->columnCount(); ++column) {
      if (!reader->value(column, value, problem)) return;
      out.value(value);
    }
  }
}

void OpenAccessFile(const std::string& path) {
  jet::FileHeader header;
  if (jet::ReadFileHeader(path, header) != jet::HeaderCheck::Ok) return;
  std::string problem;
  std::unique_ptr<jet::LibmdbDatabase> database = jet::LibmdbDatabase::open(path, problem);
  if (!database) return;
  jet::SystemCatalog catalog;
  if (!catalog.load(*database, problem)) return;

  // The catalog crosses to the provider and must arrive as it left.
  jet::WireWriter objectsOut;
  jet::WriteCatalogObjects(objectsOut, catalog.objects());
  jet::WireReader objectsIn(objectsOut.buffer());
  std::vector<jet::CatalogObject> objects;
  if (!jet::ReadCatalogObjects(objectsIn, objects) || objects.size() != catalog.objects().size()) {
    std::abort();
  }

  const auto decode = [&](std::span<const std::uint8_t> stored) {
    return database->decodeText(stored);
  };
  for (const jet::CatalogObject& object : catalog.objects()) {
    if (object.type != jet::kObjectTable) continue;
    jet::TableLayout layout;
    if (!jet::ReadTableLayout(*database, jet::SystemCatalog::definitionPage(object), layout,
                              problem)) {
      continue;
    }
    const jet::TableDefinition definition =
        jet::DescribeTable(object.name, layout, catalog.properties(object), decode);
    jet::WireWriter out;
    jet::WriteTableDefinition(out, definition);
    jet::WireReader in(out.buffer());
    jet::TableDefinition received;
    if (!jet::ReadTableDefinition(in, received) ||
        received.columns.size() != definition.columns.size()) {
      std::abort();
    }
    ReadSomeRows(*database, catalog, object, layout);
  }
}

}  // namespace

void RunAccessFile(std::span<const std::uint8_t> input) {
  const std::filesystem::path file = ScratchFile("database.mdb");
  WriteFile(file, input);
  // The reader process turns an exception into a failed answer; so do we.
  try {
    OpenAccessFile(file.string());
  } catch (const std::exception&) {
  }
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
}

}  // namespace tablift::fuzz
