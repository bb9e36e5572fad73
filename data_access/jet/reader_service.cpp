#include "data_access/jet/reader_service.h"

#include <algorithm>
#include <exception>
#include <map>
#include <memory>

#include "data_access/jet/complex_columns.h"
#include "data_access/jet/frame_channel.h"
#include "data_access/jet/libmdb_database.h"
#include "data_access/jet/reader_protocol.h"
#include "data_access/jet/rows_ahead.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/jet/system_catalog.h"
#include "data_access/jet/table_description.h"
#include "data_access/jet/table_reader.h"

namespace tablift::jet {
namespace {

struct DescribedTable {
  const CatalogObject* object = nullptr;
  TableLayout layout;
  TableDefinition definition;
};

class ReaderService {
 public:
  explicit ReaderService(std::unique_ptr<LibmdbDatabase> database)
      : database_(std::move(database)),
        complex_(catalog_.objects(),
                 [this](const CatalogObject& object, bool rows, LoadedTable& table,
                        std::string& problem) { return loadTable(object, rows, table, problem); }) {
  }

  bool loadCatalog(std::string& problem) { return catalog_.load(*database_, problem); }

  std::string answer(const std::string& request) {
    WireReader in(request);
    WireWriter out;
    std::uint8_t kind = 0;
    in.u8(kind);
    switch (static_cast<RequestKind>(kind)) {
      case RequestKind::ListObjects:
        out.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
        WriteCatalogObjects(out, catalog_.objects());
        break;
      case RequestKind::DescribeTable:
        describe(in, out);
        break;
      case RequestKind::OpenRows:
        openRows(in, out);
        break;
      case RequestKind::FetchRows:
        fetchRows(in, out);
        break;
      case RequestKind::ComplexValues:
        complexValues(in, out);
        break;
      case RequestKind::CloseRows: {
        std::uint32_t cursor = 0;
        in.u32(cursor);
        cursors_.erase(cursor);
        out.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
        break;
      }
      default:
        fail(out, ReplyStatus::Failed, "unknown request");
    }
    return out.take();
  }

  // Reads the next rows of the cursor last fetched from, while the provider
  // works on the rows just sent. At most one batch is held per cursor. A
  // request that arrives meanwhile stops the reading, so that it does not
  // wait for rows that may never be asked for; the rows read stay ahead.
  void readAhead(int socket) {
    const auto found = cursors_.find(readAheadFor_);
    readAheadFor_ = 0;
    if (found == cursors_.end()) return;
    Cursor& open = found->second;
    if (open.ahead.count() < open.wanted) {
      open.ahead.read(*open.reader, static_cast<std::uint32_t>(open.wanted - open.ahead.count()),
                      [socket] { return FrameWaiting(socket); });
    }
  }

 private:
  static void fail(WireWriter& out, ReplyStatus status, const std::string& message) {
    out.clear();
    out.u8(static_cast<std::uint8_t>(status));
    out.text(message);
  }

  // The table of that name, its layout checked and its definition built once.
  const DescribedTable* find(const std::string& name, WireWriter& out) {
    const CatalogObject* object = catalog_.findTable(name);
    if (object == nullptr) {
      fail(out, ReplyStatus::NotFound, name);
      return nullptr;
    }
    std::string problem;
    const DescribedTable* table = describeObject(*object, problem);
    if (table == nullptr)
      fail(out, ReplyStatus::Failed, "table '" + object->name + "': " + problem);
    return table;
  }

  const DescribedTable* describeObject(const CatalogObject& object, std::string& problem) {
    std::unique_ptr<DescribedTable>& described = described_[object.id];
    if (!described) {
      auto fresh = std::make_unique<DescribedTable>();
      fresh->object = &object;
      if (!ReadTableLayout(*database_, SystemCatalog::definitionPage(object), fresh->layout,
                           problem)) {
        return nullptr;
      }
      fresh->definition = DescribeTable(
          object.name, fresh->layout, catalog_.properties(object),
          [this](std::span<const std::uint8_t> stored) { return database_->decodeText(stored); });
      DescribedTable* table = fresh.get();
      described = std::move(fresh);
      // What a complex column holds is told by system tables; a column whose
      // tables cannot be read keeps no kind, and reading its values says why.
      std::string complexProblem;
      complex_.describe(object, table->definition, complexProblem);
    }
    return described.get();
  }

  // A table's definition and, when asked for, every row: for the complex
  // columns' system tables.
  bool loadTable(const CatalogObject& object, bool rows, LoadedTable& table, std::string& problem) {
    const DescribedTable* described = describeObject(object, problem);
    if (described == nullptr) return false;
    table.definition = described->definition;
    table.rows.clear();
    if (!rows) return true;
    std::unique_ptr<TableReader> reader = TableReader::open(
        *database_, catalog_.entry(*database_, object), described->layout, problem);
    if (!reader) return false;
    for (;;) {
      const TableReader::Step step = reader->advance(problem);
      if (step == TableReader::Step::End) return true;
      if (step == TableReader::Step::Damaged) return false;
      std::vector<Value>& row = table.rows.emplace_back(reader->columnCount());
      for (std::size_t i = 0; i < row.size(); ++i) {
        if (!reader->value(i, row[i], problem)) return false;
      }
    }
  }

  void complexValues(WireReader& in, WireWriter& out) {
    std::string name;
    std::string columnName;
    in.text(name);
    in.text(columnName);
    const DescribedTable* table = find(name, out);
    if (table == nullptr) return;
    const ColumnDefinition* column = nullptr;
    for (const ColumnDefinition& candidate : table->definition.columns) {
      if (candidate.type == JetType::Complex && NamesEqual(candidate.name, columnName)) {
        column = &candidate;
      }
    }
    if (column == nullptr) {
      fail(out, ReplyStatus::NotFound, columnName);
      return;
    }
    std::vector<ComplexValue> values;
    std::string problem;
    if (!complex_.values(*table->object, *column, values, problem)) {
      fail(out, ReplyStatus::Failed, "table '" + table->object->name + "': " + problem);
      return;
    }
    out.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
    WriteComplexValues(out, values);
  }

  void describe(WireReader& in, WireWriter& out) {
    std::string name;
    in.text(name);
    const DescribedTable* table = find(name, out);
    if (table == nullptr) return;
    out.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
    WriteTableDefinition(out, table->definition);
  }

  void openRows(WireReader& in, WireWriter& out) {
    std::string name;
    in.text(name);
    const DescribedTable* table = find(name, out);
    if (table == nullptr) return;
    std::string problem;
    std::unique_ptr<TableReader> reader = TableReader::open(
        *database_, catalog_.entry(*database_, *table->object), table->layout, problem);
    if (!reader) {
      fail(out, ReplyStatus::Failed, "table '" + table->object->name + "': " + problem);
      return;
    }
    const std::uint32_t cursor = ++lastCursor_;
    Cursor& opened = cursors_[cursor];
    opened.reader = std::move(reader);
    opened.table = table->object->name;
    out.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
    out.u32(cursor);
  }

  // Answered from the rows read ahead for the cursor, topped up by reading
  // when they are fewer than asked for. A damaged row among those asked for
  // fails the whole answer; the end flag is set only when the rows ended
  // before as many as were asked for.
  void fetchRows(WireReader& in, WireWriter& out) {
    std::uint32_t cursor = 0;
    std::uint32_t wanted = 0;
    in.u32(cursor);
    in.u32(wanted);
    const auto found = cursors_.find(cursor);
    if (found == cursors_.end()) {
      fail(out, ReplyStatus::Failed, "the table is no longer open");
      return;
    }
    Cursor& open = found->second;
    open.wanted = wanted;
    RowsAhead& rows = open.ahead;
    if (rows.count() < wanted)
      rows.read(*open.reader, static_cast<std::uint32_t>(wanted - rows.count()));
    if (rows.count() < wanted && rows.after() == RowsAhead::After::Damaged) {
      fail(out, ReplyStatus::Failed, "table '" + open.table + "': " + rows.problem());
      return;
    }
    const std::size_t count = std::min<std::size_t>(rows.count(), wanted);
    const bool end = rows.count() < wanted && rows.after() == RowsAhead::After::End;
    out.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
    out.boolean(end);
    out.u32(static_cast<std::uint32_t>(count));
    out.u32(static_cast<std::uint32_t>(open.reader->columnCount()));
    rows.take(count, out);
    if (!end) readAheadFor_ = cursor;
  }

 private:
  struct Cursor {
    std::unique_ptr<TableReader> reader;
    std::string table;
    std::uint32_t wanted = 0;  // by the last fetch
    RowsAhead ahead;
  };

 private:
  std::unique_ptr<LibmdbDatabase> database_;
  SystemCatalog catalog_;
  ComplexColumns complex_;
  std::map<std::int32_t, std::unique_ptr<DescribedTable>> described_;
  std::map<std::uint32_t, Cursor> cursors_;
  std::uint32_t lastCursor_ = 0;
  std::uint32_t readAheadFor_ = 0;  // cursor numbers start at 1
};

std::string Failure(const std::string& message) {
  WireWriter out;
  out.u8(static_cast<std::uint8_t>(ReplyStatus::Failed));
  out.text(message);
  return out.take();
}

}  // namespace

int RunReaderService(int socket, const std::string& path) {
  try {
    std::string problem;
    std::unique_ptr<LibmdbDatabase> database = LibmdbDatabase::open(path, problem);
    if (!database) return WriteFrame(socket, Failure(problem)) ? 0 : 1;
    ReaderService service(std::move(database));
    if (!service.loadCatalog(problem)) return WriteFrame(socket, Failure(problem)) ? 0 : 1;
    WireWriter ready;
    ready.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
    if (!WriteFrame(socket, ready.buffer())) return 1;

    std::string request;
    std::string reply;
    while (ReadFrame(socket, request) == FrameResult::Ok) {
      reply = service.answer(request);
      if (!WriteFrame(socket, reply)) return 1;
      service.readAhead(socket);
    }
    return 0;
  } catch (const std::exception&) {
    return 2;
  } catch (...) {
    return 2;
  }
}

}  // namespace tablift::jet
