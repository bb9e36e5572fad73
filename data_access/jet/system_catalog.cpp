#include "data_access/jet/system_catalog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "data_access/ascii_text.h"
#include "data_access/jet/table_reader.h"

namespace tablift::jet {
namespace {

// MSysObjects' own definition is always on page 2.
constexpr std::uint32_t kSystemObjectsPage = 2;

std::optional<std::size_t> ColumnIndex(const TableLayout& layout, const char* name) {
  for (std::size_t i = 0; i < layout.columns.size(); ++i) {
    if (EqualsIgnoreCase(layout.columns[i].name, name)) return i;
  }
  return std::nullopt;
}

std::int64_t AsInteger(const Value& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
  return 0;
}

double AsDate(const Value& value) {
  if (const auto* date = std::get_if<DateTime>(&value)) return date->days;
  return 0;
}

}  // namespace

std::unique_ptr<MdbCatalogEntry> MakeCatalogEntry(LibmdbDatabase& database, const std::string& name,
                                                  std::uint32_t page) {
  auto entry = std::make_unique<MdbCatalogEntry>();
  std::memset(entry.get(), 0, sizeof(MdbCatalogEntry));
  entry->mdb = database.handle();
  std::snprintf(entry->object_name, sizeof entry->object_name, "%s", name.c_str());
  entry->object_type = MDB_TABLE;
  entry->table_pg = page;
  return entry;
}

bool SystemCatalog::load(LibmdbDatabase& database, std::string& problem) {
  objects_.clear();
  properties_.clear();
  TableLayout layout;
  if (!ReadTableLayout(database, kSystemObjectsPage, layout, problem)) {
    problem = "MSysObjects: " + problem;
    return false;
  }
  const auto id = ColumnIndex(layout, "Id");
  const auto parentId = ColumnIndex(layout, "ParentId");
  const auto name = ColumnIndex(layout, "Name");
  const auto type = ColumnIndex(layout, "Type");
  const auto flags = ColumnIndex(layout, "Flags");
  const auto created = ColumnIndex(layout, "DateCreate");
  const auto updated = ColumnIndex(layout, "DateUpdate");
  const auto lvProp = ColumnIndex(layout, "LvProp");
  if (!id || !name || !type) {
    problem = "MSysObjects lacks its Id, Name or Type column";
    return false;
  }
  std::unique_ptr<MdbCatalogEntry> entry =
      MakeCatalogEntry(database, "MSysObjects", kSystemObjectsPage);
  std::unique_ptr<TableReader> reader = TableReader::open(database, *entry, layout, problem);
  if (!reader) {
    problem = "MSysObjects: " + problem;
    return false;
  }
  Value value;
  for (;;) {
    const TableReader::Step step = reader->advance(problem);
    if (step == TableReader::Step::End) break;
    if (step == TableReader::Step::Damaged) {
      problem = "MSysObjects: " + problem;
      return false;
    }
    CatalogObject object;
    auto read = [&](std::optional<std::size_t> column) -> const Value& {
      value = Null{};
      std::string ignored;
      if (column) reader->value(*column, value, ignored);
      return value;
    };
    object.id = static_cast<std::int32_t>(AsInteger(read(id)));
    object.parentId = static_cast<std::int32_t>(AsInteger(read(parentId)));
    if (const auto* text = std::get_if<std::string>(&read(name))) object.name = *text;
    object.type = static_cast<std::int32_t>(AsInteger(read(type)));
    object.flags = static_cast<std::uint32_t>(AsInteger(read(flags)));
    object.created = AsDate(read(created));
    object.updated = AsDate(read(updated));
    if (object.type == kObjectTable && lvProp) {
      // A damaged property blob costs the table its descriptions and
      // defaults, not its place in the catalog.
      if (auto* blob = std::get_if<Bytes>(&read(lvProp))) {
        properties_[object.id] = std::move(blob->data);
      }
    }
    objects_.push_back(std::move(object));
  }
  return true;
}

const CatalogObject* SystemCatalog::findTable(const std::string& name) const {
  const CatalogObject* found = nullptr;
  for (const CatalogObject& object : objects_) {
    if (object.type != kObjectTable) continue;
    if (object.name == name) return &object;
    if (found == nullptr && EqualsIgnoreCase(object.name, name)) found = &object;
  }
  return found;
}

const std::vector<std::uint8_t>& SystemCatalog::properties(const CatalogObject& table) const {
  static const std::vector<std::uint8_t> none;
  const auto found = properties_.find(table.id);
  return found == properties_.end() ? none : found->second;
}

MdbCatalogEntry& SystemCatalog::entry(LibmdbDatabase& database, const CatalogObject& table) {
  const std::uint32_t page = definitionPage(table);
  std::unique_ptr<MdbCatalogEntry>& entry = entries_[page];
  if (!entry) entry = MakeCatalogEntry(database, table.name, page);
  return *entry;
}

}  // namespace tablift::jet
