#include "data_access/jet/catalog_listing.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "data_access/ascii_text.h"
#include "data_access/error_info.h"
#include "data_access/jet/column_types.h"
#include "data_access/jet/saved_queries.h"
#include "data_access/jet/value_text.h"
#include "data_access/memory_rowset.h"
#include "data_access/schema_rowsets.h"

namespace tablift::jet {
namespace {

// Flags of MSysObjects rows that mark Jet's and Access's own tables.
constexpr std::uint32_t kSystemObjectFlags = 0x80000002;
// What the INDEXES rowset reports for every Jet index.
constexpr int kFillFactor = 100;
constexpr int kNullsAllowed = 0;     // DBPROPVAL_IN_ALLOWNULL
constexpr int kNullsDisallowed = 1;  // DBPROPVAL_IN_DISALLOWNULL
constexpr int kNullsIgnored = 2;     // DBPROPVAL_IN_IGNORENULL
constexpr int kNullsSortLow = 4;     // DBPROPVAL_NC_LOW

bool NameLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return ToLowerAscii(x) < ToLowerAscii(y);
  });
}

std::string_view Restriction(const std::vector<std::string>& restrictions, std::size_t index) {
  return index < restrictions.size() ? std::string_view(restrictions[index]) : std::string_view();
}

bool Matches(std::string_view restriction, std::string_view name) {
  return restriction.empty() || EqualsIgnoreCase(restriction, name);
}

// Jet has neither catalogs to choose from nor schemas.
bool OutsideDatabase(JetDatabase& database, const std::vector<std::string>& restrictions) {
  const std::string_view catalog = Restriction(restrictions, 0);
  if (!catalog.empty() && !EqualsIgnoreCase(catalog, CatalogName(database.path())) &&
      !EqualsIgnoreCase(catalog, database.path())) {
    return true;
  }
  return !Restriction(restrictions, 1).empty();
}

ColumnValue NullText() {
  return ColumnValue{};
}

ColumnValue Text(std::string text) {
  return ColumnValue{std::move(text), false};
}

ColumnValue Flag(bool value) {
  return Text(value ? kTrueText : kFalseText);
}

template <typename T>
ColumnValue Number(T value) {
  return Text(std::to_string(value));
}

template <typename T>
ColumnValue Optional(const std::optional<T>& value) {
  return value ? Number(*value) : NullText();
}

ColumnValue OptionalText(const std::optional<std::string>& value) {
  return value ? Text(*value) : NullText();
}

bool IsSystemTable(const CatalogObject& object) {
  return (object.flags & kSystemObjectFlags) != 0 ||
         (object.name.size() >= 4 && EqualsIgnoreCase(object.name.substr(0, 4), "MSys"));
}

// The TABLE_TYPE of an object, empty for objects that are no tables.
std::string TableType(const CatalogObject& object, const std::set<std::string>& views) {
  switch (object.type) {
    case kObjectTable:
      return IsSystemTable(object) ? "SYSTEM TABLE" : "TABLE";
    case kObjectLinkedTable:
      return "LINK";
    case kObjectOdbcLinkedTable:
      return "PASS-THROUGH";
    case kObjectQuery:
      return views.count(object.name) != 0 ? "VIEW" : "";
    default:
      return "";
  }
}

// The tables (not views or links) a restriction names.
std::vector<std::string> RestrictedTables(const std::vector<CatalogObject>& objects,
                                          std::string_view restriction) {
  std::vector<std::string> names;
  for (const CatalogObject& object : objects) {
    if (object.type == kObjectTable && Matches(restriction, object.name)) {
      names.push_back(object.name);
    }
  }
  std::sort(names.begin(), names.end(), NameLess);
  return names;
}

std::unique_ptr<ProviderRowset> Listed(SchemaRowset schema, std::vector<MemoryRowset::Row> rows) {
  return std::make_unique<MemoryRowset>(SchemaColumns(schema), std::move(rows));
}

}  // namespace

std::string CatalogName(const std::string& path) {
  for (const std::string_view ending : {std::string_view(".mdb"), std::string_view(".accdb")}) {
    if (path.size() >= ending.size() &&
        path.compare(path.size() - ending.size(), ending.size(), ending) == 0) {
      return path.substr(0, path.size() - ending.size());
    }
  }
  return path;
}

HResult ListCatalogs(JetDatabase& database, const std::vector<std::string>& restrictions,
                     std::unique_ptr<ProviderRowset>& rowset) {
  std::vector<MemoryRowset::Row> rows;
  const std::string name = CatalogName(database.path());
  if (Matches(Restriction(restrictions, 0), name)) rows.push_back({Text(name), NullText()});
  rowset = Listed(SchemaRowset::Catalogs, std::move(rows));
  return S_OK;
}

HResult ListTables(JetDatabase& database, const std::vector<std::string>& restrictions,
                   std::unique_ptr<ProviderRowset>& rowset) {
  std::vector<MemoryRowset::Row> rows;
  if (OutsideDatabase(database, restrictions)) {
    rowset = Listed(SchemaRowset::Tables, std::move(rows));
    return S_OK;
  }
  std::vector<CatalogObject> objects;
  HResult result = database.objects(objects);
  if (Failed(result)) return result;
  const std::string_view nameRestriction = Restriction(restrictions, 2);
  const std::string_view typeRestriction = Restriction(restrictions, 3);
  std::set<std::string> views;
  if (typeRestriction.empty() || EqualsIgnoreCase(typeRestriction, "VIEW")) {
    result = FindViews(database, objects, views);
    if (Failed(result)) return result;
  }

  struct Entry {
    std::string type;
    const CatalogObject* object;
  };
  std::vector<Entry> listed;
  for (const CatalogObject& object : objects) {
    std::string type = TableType(object, views);
    if (type.empty() || !Matches(nameRestriction, object.name) || !Matches(typeRestriction, type)) {
      continue;
    }
    listed.push_back({std::move(type), &object});
  }
  std::sort(listed.begin(), listed.end(), [](const Entry& a, const Entry& b) {
    if (a.type != b.type) return a.type < b.type;
    return NameLess(a.object->name, b.object->name);
  });

  for (const Entry& entry : listed) {
    ColumnValue description = NullText();
    if (entry.object->type == kObjectTable) {
      // A table whose definition cannot be read still belongs in the list;
      // reading it will report the damage.
      TableDefinition table;
      if (Succeeded(database.describeTable(entry.object->name, table))) {
        description = OptionalText(table.description);
      } else {
        ClearThreadErrorObject();
      }
    }
    rows.push_back({NullText(), NullText(), Text(entry.object->name), Text(entry.type), NullText(),
                    std::move(description), NullText(), Text(DateText(entry.object->created)),
                    Text(DateText(entry.object->updated))});
  }
  rowset = Listed(SchemaRowset::Tables, std::move(rows));
  return S_OK;
}

HResult ListColumns(JetDatabase& database, const std::vector<std::string>& restrictions,
                    std::unique_ptr<ProviderRowset>& rowset) {
  std::vector<MemoryRowset::Row> rows;
  if (OutsideDatabase(database, restrictions)) {
    rowset = Listed(SchemaRowset::Columns, std::move(rows));
    return S_OK;
  }
  std::vector<CatalogObject> objects;
  HResult result = database.objects(objects);
  if (Failed(result)) return result;
  const std::string_view columnRestriction = Restriction(restrictions, 3);
  for (const std::string& name : RestrictedTables(objects, Restriction(restrictions, 2))) {
    TableDefinition table;
    result = database.describeTable(name, table);
    if (Failed(result)) return result;
    std::uint32_t ordinal = 0;
    for (const ColumnDefinition& column : table.columns) {
      ++ordinal;
      if (!Matches(columnRestriction, column.name)) continue;
      const OleDbColumnType type =
          DescribeColumnType(column.type, DeclaredLength(column, database.version()),
                             column.precision, column.scale, column.required, column.autoNumber);
      const bool hasDefault = column.defaultValue && !column.defaultValue->empty();
      rows.push_back({NullText(),
                      NullText(),
                      Text(table.name),
                      Text(column.name),
                      NullText(),
                      NullText(),
                      Number(ordinal),
                      Flag(hasDefault),
                      hasDefault ? Text(*column.defaultValue) : NullText(),
                      Number(type.flags),
                      Flag(type.nullable),
                      Number(type.dataType),
                      NullText(),
                      Optional(type.characterMaximumLength),
                      Optional(type.characterOctetLength),
                      Optional(type.numericPrecision),
                      Optional(type.numericScale),
                      Optional(type.datetimePrecision),
                      NullText(),
                      NullText(),
                      NullText(),
                      NullText(),
                      NullText(),
                      NullText(),
                      NullText(),
                      NullText(),
                      NullText(),
                      OptionalText(column.description)});
    }
  }
  rowset = Listed(SchemaRowset::Columns, std::move(rows));
  return S_OK;
}

HResult ListIndexes(JetDatabase& database, const std::vector<std::string>& restrictions,
                    std::unique_ptr<ProviderRowset>& rowset) {
  std::vector<MemoryRowset::Row> rows;
  if (OutsideDatabase(database, restrictions)) {
    rowset = Listed(SchemaRowset::Indexes, std::move(rows));
    return S_OK;
  }
  std::vector<CatalogObject> objects;
  HResult result = database.objects(objects);
  if (Failed(result)) return result;
  const std::string_view indexRestriction = Restriction(restrictions, 2);
  const std::string_view typeRestriction = Restriction(restrictions, 3);
  if (!typeRestriction.empty() && typeRestriction != std::to_string(DBPROPVAL_IT_BTREE)) {
    rowset = Listed(SchemaRowset::Indexes, std::move(rows));
    return S_OK;
  }
  const int pageSize = database.version() == JetVersion::Jet3 ? 2048 : 4096;
  for (const std::string& name : RestrictedTables(objects, Restriction(restrictions, 4))) {
    TableDefinition table;
    result = database.describeTable(name, table);
    if (Failed(result)) return result;
    for (const IndexDefinition& index : table.indexes) {
      if (!Matches(indexRestriction, index.name)) continue;
      const int nulls =
          index.required ? kNullsDisallowed : (index.ignoreNulls ? kNullsIgnored : kNullsAllowed);
      std::uint32_t ordinal = 0;
      for (const IndexColumn& column : index.columns) {
        rows.push_back({NullText(),
                        NullText(),
                        Text(table.name),
                        NullText(),
                        NullText(),
                        Text(index.name),
                        Flag(index.primaryKey),
                        Flag(index.unique),
                        Flag(false),
                        Number(DBPROPVAL_IT_BTREE),
                        Number(kFillFactor),
                        Number(pageSize),
                        Number(nulls),
                        Flag(false),
                        Flag(true),
                        Number(kNullsSortLow),
                        Number(++ordinal),
                        Text(column.name),
                        NullText(),
                        NullText(),
                        Number(column.ascending ? DB_COLLATION_ASC : DB_COLLATION_DESC),
                        NullText(),
                        NullText(),
                        NullText(),
                        NullText()});
      }
    }
  }
  rowset = Listed(SchemaRowset::Indexes, std::move(rows));
  return S_OK;
}

}  // namespace tablift::jet
