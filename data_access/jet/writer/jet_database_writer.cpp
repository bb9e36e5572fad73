#include "data_access/jet/writer/jet_database_writer.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <exception>
#include <iterator>
#include <new>
#include <set>
#include <unordered_map>

#include "data_access/ascii_text.h"
#include "data_access/jet/writer/data_page_builder.h"
#include "data_access/jet/writer/database_header_page.h"
#include "data_access/jet/writer/field_encoding.h"
#include "data_access/jet/writer/index_plan.h"
#include "data_access/jet/writer/jet4_page_format.h"
#include "data_access/jet/writer/jet4_text_encoding.h"
#include "data_access/jet/writer/page_file.h"
#include "data_access/jet/writer/property_blob.h"
#include "data_access/jet/writer/query_rows.h"
#include "data_access/jet/writer/relationship_link.h"
#include "data_access/jet/writer/relationship_rows.h"
#include "data_access/jet/writer/system_tables.h"
#include "data_access/jet/writer/table_writer.h"
#include "data_access/jet/writer/usage_map.h"

namespace tablift::jet {
namespace {

constexpr std::size_t kMaxPasswordCharacters = 20;
// Days from Access's day zero (1899-12-30) to 1970-01-01.
constexpr double kUnixEpochAccessDays = 25569;

double NowAsAccessDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::chrono::year_month_day day{std::chrono::year{local.tm_year + 1900},
                                        std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                        std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
  const double days = std::chrono::sys_days(day).time_since_epoch().count() + kUnixEpochAccessDays;
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  return days + seconds / 86400.0;
}

std::uint32_t PageRow(std::uint32_t page, std::uint8_t row) {
  return (page << 8) | row;
}

// Usage map rows go onto data pages of their own; each row is addressed by
// page and row number from the definitions that use it.
class MapRowPlacer {
 public:
  explicit MapRowPlacer(PageFile& file) : file_(file), page_(DataPageBuilder::ForTable(0)) {}

  WriteStatus place(const ByteVector& row, std::uint32_t& pageRow) {
    if (!page_.empty() && !page_.fits(row.size())) {
      if (WriteStatus status = finish(); !status) return status;
    }
    if (page_.empty()) {
      if (WriteStatus status = file_.allocate(pageNumber_); !status) return status;
    }
    pageRow = PageRow(pageNumber_, page_.add(row));
    return WriteStatus::Success();
  }

  WriteStatus placeMapOf(const PageSet& pages, std::uint32_t& pageRow) {
    ByteVector row;
    if (WriteStatus status = BuildUsageMapRow(pages, file_, row); !status) return status;
    return place(row, pageRow);
  }

  WriteStatus finish() {
    if (page_.empty()) return WriteStatus::Success();
    return file_.write(pageNumber_, page_.take());
  }

 private:
  PageFile& file_;
  DataPageBuilder page_;
  std::uint32_t pageNumber_ = 0;
};

}  // namespace

struct JetDatabaseWriter::State {
  enum class Phase { Closed, Open, Finished, Failed };
  Phase phase = Phase::Closed;
  PageFile file;
  double created = 0;
  ByteVector password;
  std::vector<std::uint32_t> systemTablePages;
  std::vector<std::unique_ptr<TableWriter>> systemTables;
  std::vector<std::unique_ptr<TableWriter>> userTables;
  std::vector<ByteVector> userTableProperties;  // beside userTables
  std::vector<std::vector<Value>> relationshipRows;
  std::vector<QueryDesign> queries;
  std::set<std::string> queryNames;
  std::set<std::string> relationshipNames;
  std::unordered_map<std::string, TableWriter*> userTablesByName;

  TableWriter& systemTable(SystemTable table) {
    return *systemTables[static_cast<std::size_t>(table)];
  }
  WriteStatus writeCatalog();
  WriteStatus writeDefinitionsAndMaps();
  WriteStatus writeFreePageMap();
};

JetDatabaseWriter::JetDatabaseWriter() : state_(std::make_unique<State>()) {}

JetDatabaseWriter::~JetDatabaseWriter() {
  if (state_->phase == State::Phase::Open) state_->file.discard();
}

WriteStatus JetDatabaseWriter::fail(WriteStatus status) {
  if (status.error() == WriteError::OutputFailed ||
      status.error() == WriteError::DatabaseTooLarge) {
    state_->phase = State::Phase::Failed;
    state_->file.discard();
  }
  return status;
}

WriteStatus JetDatabaseWriter::guarded(const std::function<WriteStatus()>& body) {
  // Errors are answers, never exceptions: running out of memory (or any other
  // exception from below) ends the writer like a failed write.
  const auto abandon = [this](WriteStatus status) {
    if (state_->phase == State::Phase::Open) {
      state_->phase = State::Phase::Failed;
      state_->file.discard();
    }
    return status;
  };
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return abandon(WriteStatus::Failure(WriteError::OutOfMemory,
                                        "There is not enough memory to write the database"));
  } catch (const std::exception& error) {
    return abandon(WriteStatus::Failure(
        WriteError::OutputFailed, std::string("Writing the database failed: ") + error.what()));
  }
}

WriteStatus JetDatabaseWriter::create(const std::filesystem::path& path,
                                      const DatabaseOptions& options) {
  return guarded([&] { return createChecked(path, options); });
}

WriteStatus JetDatabaseWriter::addTable(const TableDesign& design) {
  return guarded([&] { return addTableChecked(design); });
}

WriteStatus JetDatabaseWriter::addRelationship(const RelationshipDesign& design) {
  return guarded([&] { return addRelationshipChecked(design); });
}

WriteStatus JetDatabaseWriter::addQuery(const QueryDesign& design) {
  return guarded([&] { return addQueryChecked(design); });
}

WriteStatus JetDatabaseWriter::appendRow(std::string_view table, const std::vector<Value>& values) {
  return guarded([&] { return appendRowChecked(table, values); });
}

WriteStatus JetDatabaseWriter::finish() {
  return guarded([&] { return finishChecked(); });
}

TableWriter* JetDatabaseWriter::findTable(std::string_view name) const {
  const auto found = state_->userTablesByName.find(ToLowerAscii(name));
  return found == state_->userTablesByName.end() ? nullptr : found->second;
}

bool JetDatabaseWriter::nameTaken(std::string_view name) const {
  if (findTable(name) != nullptr || state_->queryNames.count(ToLowerAscii(name)) != 0) return true;
  return std::any_of(std::begin(kSystemTables), std::end(kSystemTables), [name](SystemTable table) {
    return EqualsIgnoreCase(SystemTableName(table), name);
  });
}

WriteStatus JetDatabaseWriter::createChecked(const std::filesystem::path& path,
                                             const DatabaseOptions& options) {
  if (state_->phase != State::Phase::Closed) {
    return WriteStatus::Failure(WriteError::WrongState, "This writer has already made a database");
  }
  auto password = Utf8ToJet4Text(options.password);
  if (!password || password->size() / 2 > kMaxPasswordCharacters) {
    return WriteStatus::Failure(WriteError::InvalidValue,
                                "The database password must be at most 20 characters of text");
  }
  if (WriteStatus status = state_->file.create(path); !status) return status;
  state_->phase = State::Phase::Open;
  state_->created = options.created.value_or(NowAsAccessDate());
  state_->password = std::move(*password);

  // Page 0 is the header and page 1 the free page map; the system tables
  // follow, so that MSysObjects is defined on page 2.
  std::uint32_t page = 0;
  if (WriteStatus status = state_->file.allocateRun(2, page); !status) return fail(status);
  for (const SystemTable table : kSystemTables) {
    if (WriteStatus status = state_->file.allocate(page); !status) return fail(status);
    state_->systemTablePages.push_back(page);
    state_->systemTables.push_back(std::make_unique<TableWriter>(
        state_->file, SystemTableName(table), SystemTableShape(table), IndexSet{}, page, true));
  }
  return WriteStatus::Success();
}

WriteStatus JetDatabaseWriter::addTableChecked(const TableDesign& design) {
  if (state_->phase != State::Phase::Open) {
    return WriteStatus::Failure(WriteError::WrongState, "No database is open for writing");
  }
  if (nameTaken(design.name)) {
    return WriteStatus::Failure(WriteError::InvalidDesign,
                                "A table named [" + design.name + "] already exists");
  }
  RowShape shape;
  if (WriteStatus status = ShapeRows(design, shape); !status) return status;
  IndexSet indexes;
  if (WriteStatus status = PlanIndexes(design, shape, indexes); !status) return status;
  // The first definition page is the table's id, which its data pages carry;
  // the rest of a long definition is placed when it is written.
  std::uint32_t page = 0;
  if (WriteStatus status = state_->file.allocate(page); !status) return fail(status);
  state_->userTables.push_back(std::make_unique<TableWriter>(
      state_->file, design.name, std::move(shape), std::move(indexes), page, false));
  state_->userTableProperties.push_back(TableDesignProperties(design));
  state_->userTablesByName.emplace(ToLowerAscii(design.name), state_->userTables.back().get());
  return WriteStatus::Success();
}

WriteStatus JetDatabaseWriter::addRelationshipChecked(const RelationshipDesign& design) {
  if (state_->phase != State::Phase::Open) {
    return WriteStatus::Failure(WriteError::WrongState, "No database is open for writing");
  }
  if (const std::string problem = CheckObjectName(design.name); !problem.empty()) {
    return WriteStatus::Failure(WriteError::InvalidDesign,
                                "The relationship name [" + design.name + "] " + problem);
  }
  if (state_->relationshipNames.count(ToLowerAscii(design.name)) != 0) {
    return WriteStatus::Failure(WriteError::InvalidDesign,
                                "A relationship named [" + design.name + "] already exists");
  }
  TableWriter* referencing = findTable(design.table);
  TableWriter* referenced = findTable(design.referencedTable);
  if (referencing == nullptr || referenced == nullptr) {
    return WriteStatus::Failure(
        WriteError::UnknownTable,
        "There is no table named [" + (referencing ? design.referencedTable : design.table) + "]");
  }
  bool oneToOne = false;
  if (WriteStatus status = LinkTables(design, *referencing, *referenced, oneToOne); !status) {
    return status;
  }
  for (std::vector<Value>& row : RelationshipRows(design, oneToOne)) {
    state_->relationshipRows.push_back(std::move(row));
  }
  state_->relationshipNames.insert(ToLowerAscii(design.name));
  return WriteStatus::Success();
}

WriteStatus JetDatabaseWriter::addQueryChecked(const QueryDesign& design) {
  if (state_->phase != State::Phase::Open) {
    return WriteStatus::Failure(WriteError::WrongState, "No database is open for writing");
  }
  const auto invalid = [&](const std::string& why) {
    return WriteStatus::Failure(WriteError::InvalidDesign, "Query [" + design.name + "] " + why);
  };
  if (const std::string problem = CheckObjectName(design.name); !problem.empty()) {
    return WriteStatus::Failure(WriteError::InvalidDesign,
                                "The query name [" + design.name + "] " + problem);
  }
  if (nameTaken(design.name))
    return invalid("has the name of a table or query that already exists");
  if (design.tables.empty() || design.columns.empty()) {
    return invalid("needs at least one table and one output column");
  }
  for (const QueryTableDesign& table : design.tables) {
    if (findTable(table.name) == nullptr &&
        state_->queryNames.count(ToLowerAscii(table.name)) == 0) {
      return invalid("reads [" + table.name + "], which is neither a table nor a query");
    }
  }
  // Every name and expression must fit its column of MSysQueries.
  const RowShape shape = SystemTableShape(SystemTable::Queries);
  for (const std::vector<Value>& row : QueryRows(0, design)) {
    EncodedField field;
    for (const ColumnSlot& column : shape.columns) {
      if (WriteStatus status = EncodeField(column, row[column.number], field); !status) {
        return invalid("cannot keep its " + column.name + " text: " + status.message());
      }
    }
  }
  state_->queries.push_back(design);
  state_->queryNames.insert(ToLowerAscii(design.name));
  return WriteStatus::Success();
}

WriteStatus JetDatabaseWriter::appendRowChecked(std::string_view table,
                                                const std::vector<Value>& values) {
  if (state_->phase != State::Phase::Open) {
    return WriteStatus::Failure(WriteError::WrongState, "No database is open for writing");
  }
  TableWriter* writer = findTable(table);
  if (writer == nullptr) {
    return WriteStatus::Failure(WriteError::UnknownTable,
                                "There is no table named [" + std::string(table) + "]");
  }
  return fail(writer->appendRow(values));
}

WriteStatus JetDatabaseWriter::State::writeCatalog() {
  TableWriter& objects = systemTable(SystemTable::Objects);
  TableWriter& accessControl = systemTable(SystemTable::AccessControl);
  for (const CatalogObjectRow& object : EngineCatalogObjects(systemTablePages)) {
    if (WriteStatus status = objects.appendRow(CatalogRowValues(object, created)); !status) {
      return status;
    }
  }
  for (const std::vector<Value>& row : EngineAccessControlRows(systemTablePages)) {
    if (WriteStatus status = accessControl.appendRow(row); !status) return status;
  }
  for (std::size_t i = 0; i < userTables.size(); ++i) {
    const TableWriter* table = userTables[i].get();
    const CatalogObjectRow object =
        UserTableCatalogObject(table->definitionPage(), table->name(), userTableProperties[i]);
    if (WriteStatus status = objects.appendRow(CatalogRowValues(object, created)); !status) {
      return status;
    }
    for (const std::vector<Value>& row :
         UserTableAccessControlRows(static_cast<std::int32_t>(table->definitionPage()))) {
      if (WriteStatus status = accessControl.appendRow(row); !status) return status;
    }
  }
  TableWriter& queryRows = systemTable(SystemTable::Queries);
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const auto id = static_cast<std::int32_t>(kFirstObjectId + i);
    if (WriteStatus status =
            objects.appendRow(CatalogRowValues(QueryCatalogObject(id, queries[i].name), created));
        !status) {
      return status;
    }
    for (const std::vector<Value>& row : UserTableAccessControlRows(id)) {
      if (WriteStatus status = accessControl.appendRow(row); !status) return status;
    }
    for (const std::vector<Value>& row : QueryRows(id, queries[i])) {
      if (WriteStatus status = queryRows.appendRow(row); !status) {
        return WriteStatus::Failure(WriteError::InvalidDesign,
                                    "Query [" + queries[i].name + "]: " + status.message());
      }
    }
  }
  for (const std::vector<Value>& row : relationshipRows) {
    if (WriteStatus status = systemTable(SystemTable::Relationships).appendRow(row); !status) {
      return status;
    }
  }
  return WriteStatus::Success();
}

WriteStatus JetDatabaseWriter::State::writeDefinitionsAndMaps() {
  MapRowPlacer placer(file);
  std::vector<TableWriter*> tables;
  for (const auto& table : systemTables)
    tables.push_back(table.get());
  for (const auto& table : userTables)
    tables.push_back(table.get());
  for (TableWriter* table : tables) {
    if (WriteStatus status = table->finish(); !status) return status;
    std::uint32_t usedMap = 0;
    std::uint32_t roomMap = 0;
    if (WriteStatus status = placer.placeMapOf(table->dataPages(), usedMap); !status) return status;
    if (WriteStatus status = placer.placeMapOf(table->dataPagesWithRoom(), roomMap); !status) {
      return status;
    }
    std::vector<LongValueColumnMaps> longMaps;
    for (const TableWriter::LongValueColumn& column : table->longValueColumns()) {
      LongValueColumnMaps maps;
      maps.columnNumber = table->shape().columns[column.columnNumber].storedNumber;
      if (WriteStatus status = placer.placeMapOf(column.store->pages(), maps.usedPagesMap);
          !status) {
        return status;
      }
      if (WriteStatus status =
              placer.placeMapOf(column.store->pagesWithRoom(), maps.pagesWithRoomMap);
          !status) {
        return status;
      }
      longMaps.push_back(maps);
    }
    std::vector<std::uint32_t> indexMaps;
    for (const IndexBuilder& index : table->indexBuilders()) {
      std::uint32_t map = 0;
      if (WriteStatus status = placer.placeMapOf(index.pages(), map); !status) return status;
      indexMaps.push_back(map);
    }
    if (WriteStatus status = table->writeDefinition(usedMap, roomMap, longMaps, indexMaps);
        !status) {
      return status;
    }
  }
  return placer.finish();
}

WriteStatus JetDatabaseWriter::State::writeFreePageMap() {
  ByteVector freePages;
  if (WriteStatus status = BuildFreePageMapRow(file, freePages); !status) return status;
  // The engine keeps a second, empty map row beside it.
  const ByteVector secondMap(5 + jet4::kInlineMapBitmapBytes, 0);
  DataPageBuilder page = DataPageBuilder::ForTable(jet4::kGlobalUsageMapPage);
  page.add(freePages);
  page.add(secondMap);
  return file.write(jet4::kGlobalUsageMapPage, page.take());
}

WriteStatus JetDatabaseWriter::finishChecked() {
  if (state_->phase != State::Phase::Open) {
    return WriteStatus::Failure(WriteError::WrongState, "No database is open for writing");
  }
  // Whatever goes wrong from here leaves no half-written database behind.
  const auto abandon = [this](WriteStatus status) {
    state_->phase = State::Phase::Failed;
    state_->file.discard();
    return status;
  };
  if (WriteStatus status = state_->writeCatalog(); !status) return abandon(status);
  if (WriteStatus status = state_->writeDefinitionsAndMaps(); !status) return abandon(status);
  // The free page map describes the finished file, so it comes last.
  if (WriteStatus status = state_->writeFreePageMap(); !status) return abandon(status);
  DatabaseHeaderFields header;
  header.created = state_->created;
  header.password = state_->password;
  if (WriteStatus status = state_->file.write(0, BuildDatabaseHeaderPage(header)); !status) {
    return abandon(status);
  }
  if (WriteStatus status = state_->file.close(); !status) return abandon(status);
  state_->phase = State::Phase::Finished;
  return WriteStatus::Success();
}

}  // namespace tablift::jet
