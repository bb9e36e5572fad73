#include "data_access/schema_rowsets.h"

#include <initializer_list>
#include <utility>

namespace tablift {
namespace {

std::vector<ColumnInfo> Columns(
    std::initializer_list<std::pair<const char*, std::uint16_t>> definitions) {
  std::vector<ColumnInfo> columns;
  std::size_t ordinal = 0;
  for (const auto& [name, type] : definitions) {
    ColumnInfo column;
    column.name = name;
    column.ordinal = ++ordinal;
    column.type = type;
    column.flags = DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
    if (type == DBTYPE_WSTR) {
      column.size = 128;
    } else {
      column.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH;
    }
    columns.push_back(std::move(column));
  }
  return columns;
}

}  // namespace

const std::vector<ColumnInfo>& SchemaColumns(SchemaRowset schema) {
  static const std::vector<ColumnInfo> catalogs =
      Columns({{"CATALOG_NAME", DBTYPE_WSTR}, {"DESCRIPTION", DBTYPE_WSTR}});
  static const std::vector<ColumnInfo> tables = Columns({{"TABLE_CATALOG", DBTYPE_WSTR},
                                                         {"TABLE_SCHEMA", DBTYPE_WSTR},
                                                         {"TABLE_NAME", DBTYPE_WSTR},
                                                         {"TABLE_TYPE", DBTYPE_WSTR},
                                                         {"TABLE_GUID", DBTYPE_GUID},
                                                         {"DESCRIPTION", DBTYPE_WSTR},
                                                         {"TABLE_PROPID", DBTYPE_UI4},
                                                         {"DATE_CREATED", DBTYPE_DATE},
                                                         {"DATE_MODIFIED", DBTYPE_DATE}});
  static const std::vector<ColumnInfo> columns = Columns({{"TABLE_CATALOG", DBTYPE_WSTR},
                                                          {"TABLE_SCHEMA", DBTYPE_WSTR},
                                                          {"TABLE_NAME", DBTYPE_WSTR},
                                                          {"COLUMN_NAME", DBTYPE_WSTR},
                                                          {"COLUMN_GUID", DBTYPE_GUID},
                                                          {"COLUMN_PROPID", DBTYPE_UI4},
                                                          {"ORDINAL_POSITION", DBTYPE_UI4},
                                                          {"COLUMN_HASDEFAULT", DBTYPE_BOOL},
                                                          {"COLUMN_DEFAULT", DBTYPE_WSTR},
                                                          {"COLUMN_FLAGS", DBTYPE_UI4},
                                                          {"IS_NULLABLE", DBTYPE_BOOL},
                                                          {"DATA_TYPE", DBTYPE_UI2},
                                                          {"TYPE_GUID", DBTYPE_GUID},
                                                          {"CHARACTER_MAXIMUM_LENGTH", DBTYPE_UI4},
                                                          {"CHARACTER_OCTET_LENGTH", DBTYPE_UI4},
                                                          {"NUMERIC_PRECISION", DBTYPE_UI2},
                                                          {"NUMERIC_SCALE", DBTYPE_I2},
                                                          {"DATETIME_PRECISION", DBTYPE_UI4},
                                                          {"CHARACTER_SET_CATALOG", DBTYPE_WSTR},
                                                          {"CHARACTER_SET_SCHEMA", DBTYPE_WSTR},
                                                          {"CHARACTER_SET_NAME", DBTYPE_WSTR},
                                                          {"COLLATION_CATALOG", DBTYPE_WSTR},
                                                          {"COLLATION_SCHEMA", DBTYPE_WSTR},
                                                          {"COLLATION_NAME", DBTYPE_WSTR},
                                                          {"DOMAIN_CATALOG", DBTYPE_WSTR},
                                                          {"DOMAIN_SCHEMA", DBTYPE_WSTR},
                                                          {"DOMAIN_NAME", DBTYPE_WSTR},
                                                          {"DESCRIPTION", DBTYPE_WSTR}});
  static const std::vector<ColumnInfo> indexes = Columns({{"TABLE_CATALOG", DBTYPE_WSTR},
                                                          {"TABLE_SCHEMA", DBTYPE_WSTR},
                                                          {"TABLE_NAME", DBTYPE_WSTR},
                                                          {"INDEX_CATALOG", DBTYPE_WSTR},
                                                          {"INDEX_SCHEMA", DBTYPE_WSTR},
                                                          {"INDEX_NAME", DBTYPE_WSTR},
                                                          {"PRIMARY_KEY", DBTYPE_BOOL},
                                                          {"UNIQUE", DBTYPE_BOOL},
                                                          {"CLUSTERED", DBTYPE_BOOL},
                                                          {"TYPE", DBTYPE_UI2},
                                                          {"FILL_FACTOR", DBTYPE_I4},
                                                          {"INITIAL_SIZE", DBTYPE_I4},
                                                          {"NULLS", DBTYPE_I4},
                                                          {"SORT_BOOKMARKS", DBTYPE_BOOL},
                                                          {"AUTO_UPDATE", DBTYPE_BOOL},
                                                          {"NULL_COLLATION", DBTYPE_I4},
                                                          {"ORDINAL_POSITION", DBTYPE_UI4},
                                                          {"COLUMN_NAME", DBTYPE_WSTR},
                                                          {"COLUMN_GUID", DBTYPE_GUID},
                                                          {"COLUMN_PROPID", DBTYPE_UI4},
                                                          {"COLLATION", DBTYPE_I2},
                                                          {"CARDINALITY", DBTYPE_UI8},
                                                          {"PAGES", DBTYPE_I4},
                                                          {"FILTER_CONDITION", DBTYPE_WSTR},
                                                          {"INTEGRATED", DBTYPE_BOOL}});
  switch (schema) {
    case SchemaRowset::Catalogs:
      return catalogs;
    case SchemaRowset::Tables:
      return tables;
    case SchemaRowset::Columns:
      return columns;
    case SchemaRowset::Indexes:
      break;
  }
  return indexes;
}

}  // namespace tablift
