#include "data_access/jet/saved_queries.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

#include "data_access/jet/database_tables.h"
#include "data_access/jet/query_elements.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {
namespace {

bool KnownKind(std::int64_t kind) {
  return kind >= static_cast<std::int64_t>(SavedQueryKind::Select) &&
         kind <= static_cast<std::int64_t>(SavedQueryKind::Union);
}

std::optional<std::size_t> ColumnIndex(const TableDefinition& table, const char* name) {
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (NamesEqual(table.columns[i].name, name)) return i;
  return std::nullopt;
}

std::string Text(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    // Access ends some long texts it writes (data-definition statements) with
    // a NUL character that is no part of the statement.
    std::string stored = *text;
    while (!stored.empty() && stored.back() == '\0')
      stored.pop_back();
    return stored;
  }
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
  return {};
}

}  // namespace

HResult ForEachQueryElement(JetDatabase& database,
                            const std::function<void(std::int64_t, QueryElement)>& visit) {
  TableDefinition queries;
  HResult result = database.describeTable("MSysQueries", queries);
  if (Failed(result)) return result;
  const auto objectId = ColumnIndex(queries, "ObjectId");
  const auto attribute = ColumnIndex(queries, "Attribute");
  const auto expression = ColumnIndex(queries, "Expression");
  const auto flag = ColumnIndex(queries, "Flag");
  const auto name1 = ColumnIndex(queries, "Name1");
  const auto name2 = ColumnIndex(queries, "Name2");
  if (!objectId || !attribute || !expression || !flag || !name1 || !name2) return S_OK;

  JetDatabase::RowsHandle handle;
  result = database.openRows("MSysQueries", handle);
  if (Failed(result)) return result;
  std::vector<std::vector<Value>> rows;
  for (bool end = false; !end;) {
    result = database.fetchRows(handle, kRowsPerFetch, rows, end);
    if (Failed(result)) break;
    for (const std::vector<Value>& row : rows) {
      if (row.size() != queries.columns.size()) continue;
      const auto* id = std::get_if<std::int64_t>(&row[*objectId]);
      const auto* kind = std::get_if<std::int64_t>(&row[*attribute]);
      if (id == nullptr || kind == nullptr) continue;
      visit(*id, {static_cast<int>(*kind), Text(row[*expression]), Text(row[*flag]),
                  Text(row[*name1]), Text(row[*name2])});
    }
  }
  database.closeRows(handle);
  return result;
}

HResult ReadQueryElements(JetDatabase& database, const std::string& name,
                          std::vector<QueryElement>& elements) {
  elements.clear();
  std::vector<CatalogObject> objects;
  const HResult result = database.objects(objects);
  if (Failed(result)) return result;
  const auto object = std::find_if(objects.begin(), objects.end(), [&](const CatalogObject& o) {
    return o.type == kObjectQuery && NamesEqual(o.name, name);
  });
  if (object == objects.end()) return S_OK;
  return ForEachQueryElement(database, [&](std::int64_t id, QueryElement element) {
    if (id == object->id) elements.push_back(std::move(element));
  });
}

HResult FindViews(JetDatabase& database, const std::vector<CatalogObject>& objects,
                  std::set<std::string>& views) {
  views.clear();
  const bool anyQuery = std::any_of(objects.begin(), objects.end(),
                                    [](const CatalogObject& o) { return o.type == kObjectQuery; });
  if (!anyQuery) return S_OK;

  std::map<std::int64_t, std::int64_t> kinds;
  const HResult result = ForEachQueryElement(database, [&](std::int64_t id, QueryElement element) {
    if (element.kind != kQueryType) return;
    std::int64_t kind = 0;
    const auto [end, error] =
        std::from_chars(element.flag.data(), element.flag.data() + element.flag.size(), kind);
    if (error == std::errc() && end == element.flag.data() + element.flag.size()) kinds[id] = kind;
  });
  if (Failed(result)) return result;

  for (const CatalogObject& object : objects) {
    if (object.type != kObjectQuery || object.name.empty() || object.name.front() == '~') continue;
    const auto found = kinds.find(object.id);
    if (found != kinds.end() && KnownKind(found->second)) views.insert(object.name);
  }
  return S_OK;
}

}  // namespace tablift::jet
