#include "data_access/jet/saved_queries.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "data_access/jet/database_tables.h"
#include "data_access/jet/query_elements.h"

namespace tablift::jet {
namespace {

constexpr std::int64_t kKindAttribute = kQueryType;

bool KnownKind(std::int64_t kind) {
  return kind >= static_cast<std::int64_t>(SavedQueryKind::Select) &&
         kind <= static_cast<std::int64_t>(SavedQueryKind::Union);
}

std::optional<std::size_t> ColumnIndex(const TableDefinition& table, const char* name) {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const std::string& column = table.columns[i].name;
    if (std::equal(column.begin(), column.end(), name, name + std::char_traits<char>::length(name),
                   [](char a, char b) {
                     return std::tolower(static_cast<unsigned char>(a)) ==
                            std::tolower(static_cast<unsigned char>(b));
                   })) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::int64_t> Integer(const Value& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
  return std::nullopt;
}

}  // namespace

HResult FindViews(JetDatabase& database, const std::vector<CatalogObject>& objects,
                  std::set<std::string>& views) {
  views.clear();
  const bool anyQuery = std::any_of(objects.begin(), objects.end(),
                                    [](const CatalogObject& o) { return o.type == kObjectQuery; });
  if (!anyQuery) return S_OK;

  TableDefinition queries;
  HResult result = database.describeTable("MSysQueries", queries);
  if (Failed(result)) return result;
  const auto objectId = ColumnIndex(queries, "ObjectId");
  const auto attribute = ColumnIndex(queries, "Attribute");
  const auto flag = ColumnIndex(queries, "Flag");
  if (!objectId || !attribute || !flag) return S_OK;

  std::map<std::int64_t, std::int64_t> kinds;
  JetDatabase::RowsHandle handle;
  result = database.openRows("MSysQueries", handle);
  if (Failed(result)) return result;
  std::vector<std::vector<Value>> rows;
  bool end = false;
  while (!end) {
    result = database.fetchRows(handle, kRowsPerFetch, rows, end);
    if (Failed(result)) break;
    for (const std::vector<Value>& row : rows) {
      if (row.size() != queries.columns.size()) continue;
      const auto id = Integer(row[*objectId]);
      const auto kind = Integer(row[*attribute]);
      if (!id || !kind) continue;
      if (*kind != kKindAttribute) continue;
      if (const auto queryKind = Integer(row[*flag])) kinds[*id] = *queryKind;
    }
  }
  database.closeRows(handle);
  if (Failed(result)) return result;

  for (const CatalogObject& object : objects) {
    if (object.type != kObjectQuery || object.name.empty() || object.name.front() == '~') continue;
    const auto found = kinds.find(object.id);
    if (found != kinds.end() && KnownKind(found->second)) views.insert(object.name);
  }
  return S_OK;
}

}  // namespace tablift::jet
