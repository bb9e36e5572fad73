#include "tests/jet_writer/libmdb_reading.h"

#include <mdbtools.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "tests/support/test_paths.h"

namespace tablift::jet::test {
namespace {

MdbHandle* Handle(void* handle) {
  return static_cast<MdbHandle*>(handle);
}

constexpr std::size_t kBindSize = 65536;
constexpr std::size_t kMemoOverhead = 12;

// Reads the whole of a long value with libmdb's own chunk reader, starting
// from its 12-byte field in the current row.
std::vector<std::uint8_t> ReadLongValue(MdbHandle* mdb, MdbColumn* column) {
  std::array<unsigned char, kMemoOverhead> field{};
  std::memcpy(field.data(), mdb->pg_buf + column->cur_value_start, kMemoOverhead);
  std::vector<std::uint8_t> content;
  const auto* chunk = static_cast<const std::uint8_t*>(column->bind_ptr);
  std::size_t length = mdb_ole_read(mdb, column, field.data(), kBindSize);
  content.insert(content.end(), chunk, chunk + length);
  while ((length = mdb_ole_read_next(mdb, column, field.data())) != 0) {
    content.insert(content.end(), chunk, chunk + length);
  }
  return content;
}

std::vector<std::string> CatalogTables(MdbHandle* mdb, bool user) {
  std::vector<std::string> names;
  if (mdb_read_catalog(mdb, MDB_TABLE) == nullptr) return names;
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE) continue;
    if ((mdb_is_user_table(entry) != 0) == user) names.emplace_back(entry->object_name);
  }
  return names;
}

}  // namespace

LibmdbDatabase::LibmdbDatabase(const std::filesystem::path& path) {
  MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (mdb == nullptr) return;
  mdb_set_bind_size(mdb, kBindSize);
  mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
  mdb_set_boolean_fmt_numbers(mdb);
  handle_ = mdb;
}

LibmdbDatabase::~LibmdbDatabase() {
  if (handle_ != nullptr) mdb_close(Handle(handle_));
}

int LibmdbDatabase::jetVersion() const {
  return handle_ == nullptr ? -1 : static_cast<int>(Handle(handle_)->f->jet_version);
}

std::vector<std::string> LibmdbDatabase::userTables() {
  return CatalogTables(Handle(handle_), true);
}

std::vector<std::string> LibmdbDatabase::systemTables() {
  return CatalogTables(Handle(handle_), false);
}

std::optional<ReadTable> LibmdbDatabase::readTable(const std::string& name) {
  MdbHandle* mdb = Handle(handle_);
  if (mdb == nullptr) return std::nullopt;
  std::string mutableName = name;
  MdbTableDef* table = mdb_read_table_by_name(mdb, mutableName.data(), MDB_TABLE);
  if (table == nullptr) return std::nullopt;
  std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> owner(table, mdb_free_tabledef);
  if (mdb_read_columns(table) == nullptr) return std::nullopt;

  ReadTable result;
  result.declaredRows = table->num_rows;
  result.variableColumns = table->num_var_cols;
  std::vector<std::vector<char>> buffers(table->num_cols, std::vector<char>(kBindSize));
  std::vector<int> lengths(table->num_cols, 0);
  for (unsigned i = 0; i < table->num_cols; ++i) {
    auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
    // libmdb names the two bytes the other way round: its "scale" is the
    // precision and its "prec" the scale.
    result.columns.push_back({column->name,
                              column->col_type,
                              column->col_size,
                              column->col_scale,
                              column->col_prec,
                              column->is_long_auto != 0,
                              {},
                              column->col_num});
    for (const char* property : {"Required", "DefaultValue", "Description"}) {
      if (const char* value = mdb_col_get_prop(column, property)) {
        result.columns.back().properties[property] = value;
      }
    }
    mdb_bind_column(table, static_cast<int>(i + 1), buffers[i].data(), &lengths[i]);
  }
  mdb_rewind_table(table);
  std::vector<MdbField> fields(table->num_cols);
  while (mdb_fetch_row(table)) {
    // The bound values do not tell an empty text from Null; the row's null
    // mask does, so crack the row that was just fetched once more.
    int rowStart = 0;
    std::size_t rowSize = 0;
    if (mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &rowStart, &rowSize) != 0 ||
        mdb_crack_row(table, rowStart & 0x1FFF, rowSize, fields.data()) < 0) {
      return std::nullopt;
    }
    std::vector<ReadCell> row;
    for (unsigned i = 0; i < table->num_cols; ++i) {
      auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
      ReadCell cell;
      cell.null = column->col_type != MDB_BOOL && fields[i].is_null != 0;
      if (!cell.null) cell.text.assign(buffers[i].data(), static_cast<std::size_t>(lengths[i]));
      if (cell.null || column->col_type == MDB_BOOL) {
        // nothing stored
      } else if (column->col_type == MDB_MEMO || column->col_type == MDB_OLE) {
        if (column->cur_value_len > 0) cell.bytes = ReadLongValue(mdb, column);
      } else {
        const auto* start = mdb->pg_buf + fields[i].start;
        cell.bytes.assign(start, start + fields[i].siz);
      }
      row.push_back(std::move(cell));
    }
    result.rows.push_back(std::move(row));
  }
  return result;
}

std::vector<ReadIndex> LibmdbDatabase::readIndexes(const std::string& name) {
  std::vector<ReadIndex> result;
  MdbHandle* mdb = Handle(handle_);
  std::string mutableName = name;
  MdbTableDef* table = mdb_read_table_by_name(mdb, mutableName.data(), MDB_TABLE);
  if (table == nullptr) return result;
  std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> owner(table, mdb_free_tabledef);
  mdb_read_columns(table);
  mdb_read_indices(table);
  for (unsigned i = 0; i < table->num_idxs; ++i) {
    auto* index = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
    ReadIndex read{index->name, index->index_type, index->flags, {}, {}, index->num_rows};
    for (unsigned k = 0; k < index->num_keys; ++k) {
      auto* column = static_cast<MdbColumn*>(
          g_ptr_array_index(table->columns, static_cast<unsigned>(index->key_col_num[k] - 1)));
      read.columns.emplace_back(column->name);
      read.ascending.push_back(index->key_col_order[k] == MDB_ASC);
    }
    result.push_back(std::move(read));
  }
  return result;
}

std::optional<std::vector<std::vector<std::string>>> LibmdbDatabase::walkIndex(
    const std::string& name, const std::string& indexName) {
  MdbHandle* mdb = Handle(handle_);
  std::string mutableName = name;
  MdbTableDef* table = mdb_read_table_by_name(mdb, mutableName.data(), MDB_TABLE);
  if (table == nullptr) return std::nullopt;
  std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> owner(table, mdb_free_tabledef);
  mdb_read_columns(table);
  mdb_read_indices(table);
  MdbIndex* index = nullptr;
  for (unsigned i = 0; i < table->num_idxs; ++i) {
    auto* candidate = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
    if (indexName == candidate->name) index = candidate;
  }
  if (index == nullptr) return std::nullopt;

  std::vector<std::vector<char>> buffers(table->num_cols, std::vector<char>(kBindSize));
  for (unsigned i = 0; i < table->num_cols; ++i) {
    mdb_bind_column(table, static_cast<int>(i + 1), buffers[i].data(), nullptr);
  }
  // The walker reads index pages through a handle of its own, so that
  // reading each row it finds does not disturb it.
  std::unique_ptr<MdbHandle, void (*)(MdbHandle*)> walker(mdb_clone_handle(mdb), mdb_close);
  auto chain = std::make_unique<MdbIndexChain>();
  std::memset(chain.get(), 0, sizeof(MdbIndexChain));
  std::vector<std::vector<std::string>> rows;
  guint32 page = 0;
  guint16 row = 0;
  while (mdb_index_find_next(walker.get(), index, chain.get(), &page, &row) != 0) {
    if (mdb_read_pg(mdb, page) != static_cast<ssize_t>(mdb->fmt->pg_size) ||
        mdb_read_row(table, row) == 0) {
      return std::nullopt;
    }
    std::vector<std::string> values;
    for (unsigned i = 0; i < table->num_cols; ++i) {
      auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
      values.emplace_back(column->col_type == MDB_BOOL || column->cur_value_len > 0
                              ? std::string(buffers[i].data())
                              : std::string("<null>"));
    }
    rows.push_back(std::move(values));
  }
  return rows;
}

ToolOutput RunMdbTool(const std::string& tool, const std::vector<std::string>& arguments) {
  tablift::test::ScopedTempDir scratch;
  const std::filesystem::path outPath = scratch.path() / "out";
  const std::filesystem::path errPath = scratch.path() / "err";
  const auto quote = [](const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
      quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  };
  std::string command = quote(tool);
  for (const std::string& argument : arguments)
    command += " " + quote(argument);
  command += " >" + quote(outPath.string()) + " 2>" + quote(errPath.string());
  ToolOutput output;
  const int status = std::system(command.c_str());
  output.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto slurp = [](const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  };
  output.out = slurp(outPath);
  output.err = slurp(errPath);
  return output;
}

}  // namespace tablift::jet::test
