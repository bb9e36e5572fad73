#include "data_access/jet/reader_service.h"

#include <chrono>
#include <exception>
#include <map>
#include <memory>

#include "data_access/jet/frame_channel.h"
#include "data_access/jet/libmdb_database.h"
#include "data_access/jet/reader_protocol.h"
#include "data_access/jet/system_catalog.h"
#include "data_access/jet/table_description.h"
#include "data_access/jet/table_reader.h"

namespace tablift::jet {
namespace {

// A batch of rows ends at whichever comes first, so that an answer never
// keeps the provider waiting long nor takes much memory.
constexpr std::size_t kBatchBytes = 4u << 20;
constexpr auto kBatchTime = std::chrono::milliseconds(500);

struct DescribedTable {
  const CatalogObject* object = nullptr;
  TableLayout layout;
  TableDefinition definition;
};

class ReaderService {
 public:
  explicit ReaderService(std::unique_ptr<LibmdbDatabase> database)
      : database_(std::move(database)) {}

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
    std::unique_ptr<DescribedTable>& described = described_[object->id];
    if (!described) {
      auto fresh = std::make_unique<DescribedTable>();
      fresh->object = object;
      std::string problem;
      if (!ReadTableLayout(*database_, SystemCatalog::definitionPage(*object), fresh->layout,
                           problem)) {
        fail(out, ReplyStatus::Failed, "table '" + object->name + "': " + problem);
        return nullptr;
      }
      fresh->definition = DescribeTable(
          object->name, fresh->layout, catalog_.properties(*object),
          [this](std::span<const std::uint8_t> stored) { return database_->decodeText(stored); });
      described = std::move(fresh);
    }
    return described.get();
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
    cursors_[cursor] = Cursor{std::move(reader), table->object->name};
    out.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
    out.u32(cursor);
  }

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
    TableReader& reader = *found->second.reader;
    // The end flag and the row count are known only after the rows; their
    // places are kept and filled in last.
    out.u8(static_cast<std::uint8_t>(ReplyStatus::Ok));
    const std::size_t endAt = out.size();
    out.boolean(false);
    const std::size_t countAt = out.size();
    out.u32(0);
    out.u32(static_cast<std::uint32_t>(reader.columnCount()));
    const std::size_t rowsAt = out.size();
    std::uint32_t count = 0;
    std::string problem;
    Value value;
    const auto started = std::chrono::steady_clock::now();
    while (count < wanted && out.size() - rowsAt < kBatchBytes &&
           std::chrono::steady_clock::now() - started < kBatchTime) {
      const TableReader::Step step = reader.advance(problem);
      if (step == TableReader::Step::End) {
        out.patchU8(endAt, 1);
        break;
      }
      if (step == TableReader::Step::Damaged) {
        fail(out, ReplyStatus::Failed, "table '" + found->second.table + "': " + problem);
        return;
      }
      for (std::size_t column = 0; column < reader.columnCount(); ++column) {
        if (!reader.value(column, value, problem)) {
          fail(out, ReplyStatus::Failed, "table '" + found->second.table + "': " + problem);
          return;
        }
        out.value(value);
      }
      ++count;
    }
    out.patchU32(countAt, count);
  }

  struct Cursor {
    std::unique_ptr<TableReader> reader;
    std::string table;
  };

 private:
  std::unique_ptr<LibmdbDatabase> database_;
  SystemCatalog catalog_;
  std::map<std::int32_t, std::unique_ptr<DescribedTable>> described_;
  std::map<std::uint32_t, Cursor> cursors_;
  std::uint32_t lastCursor_ = 0;
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
    }
    return 0;
  } catch (const std::exception&) {
    return 2;
  } catch (...) {
    return 2;
  }
}

}  // namespace tablift::jet
