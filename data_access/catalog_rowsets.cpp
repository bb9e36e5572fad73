#include "data_access/catalog_rowsets.h"

#include <charconv>
#include <new>

#include "data_access/schema_rowsets.h"

namespace tablift {
namespace {

std::vector<std::string> Restrictions(std::initializer_list<std::string_view> values) {
  std::vector<std::string> restrictions;
  for (std::string_view value : values)
    restrictions.emplace_back(value);
  return restrictions;
}

}  // namespace

HResult CatalogRowset::InterfaceSupportsErrorInfo(InterfaceId) const {
  return S_OK;
}

HResult CatalogRowset::openSchema(Session& session, SchemaRowset schema,
                                  std::vector<std::string> restrictions) {
  rowset_.close();
  ClearThreadErrorObject();
  if (!session.isOpen()) return E_NOINTERFACE;
  try {
    std::unique_ptr<ProviderRowset> rowset;
    const HResult result = session.provider()->schemaRowset(schema, restrictions, rowset);
    if (Failed(result)) return result;
    if (!rowset) return E_FAIL;
    rowset_.attach(std::move(rowset));
    return result;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HResult CatalogRowset::advance() {
  return rowset_.moveNext();
}

std::string CatalogRowset::text(std::size_t ordinal) {
  ColumnValue value;
  if (Failed(rowset_.readValue(ordinal, value)) || value.null) return {};
  return std::move(value.text);
}

std::int64_t CatalogRowset::number(std::size_t ordinal) {
  const std::string value = text(ordinal);
  std::int64_t number = 0;
  std::from_chars(value.data(), value.data() + value.size(), number);
  return number;
}

bool CatalogRowset::flag(std::size_t ordinal) {
  const std::string value = text(ordinal);
  return value == kTrueText || value == "1" || value == "-1";
}

HResult CatalogsRowset::open(Session& session, std::string_view catalog) {
  return openSchema(session, SchemaRowset::Catalogs, Restrictions({catalog}));
}

HResult CatalogsRowset::moveNext() {
  const HResult result = advance();
  if (result != S_OK) return result;
  row_.catalogName = text(kCatalogName);
  row_.description = text(kCatalogDescription);
  return result;
}

HResult TablesRowset::open(Session& session, std::string_view catalog, std::string_view schema,
                           std::string_view table, std::string_view type) {
  return openSchema(session, SchemaRowset::Tables, Restrictions({catalog, schema, table, type}));
}

HResult TablesRowset::moveNext() {
  const HResult result = advance();
  if (result != S_OK) return result;
  row_.tableCatalog = text(kTablesCatalog);
  row_.tableSchema = text(kTablesSchema);
  row_.tableName = text(kTablesName);
  row_.tableType = text(kTablesType);
  row_.tableGuid = text(kTablesGuid);
  row_.description = text(kTablesDescription);
  return result;
}

HResult ColumnsRowset::open(Session& session, std::string_view catalog, std::string_view schema,
                            std::string_view table, std::string_view column) {
  return openSchema(session, SchemaRowset::Columns, Restrictions({catalog, schema, table, column}));
}

HResult ColumnsRowset::moveNext() {
  const HResult result = advance();
  if (result != S_OK) return result;
  ColumnRow& r = row_;
  r.tableCatalog = text(kColumnsTableCatalog);
  r.tableSchema = text(kColumnsTableSchema);
  r.tableName = text(kColumnsTableName);
  r.columnName = text(kColumnsName);
  r.columnGuid = text(kColumnsGuid);
  r.columnPropId = static_cast<std::uint32_t>(number(kColumnsPropId));
  r.ordinalPosition = static_cast<std::uint32_t>(number(kColumnsOrdinalPosition));
  r.columnHasDefault = flag(kColumnsHasDefault);
  r.columnDefault = text(kColumnsDefault);
  r.columnFlags = static_cast<std::uint32_t>(number(kColumnsFlags));
  r.isNullable = flag(kColumnsIsNullable);
  r.dataType = static_cast<std::uint16_t>(number(kColumnsDataType));
  r.typeGuid = text(kColumnsTypeGuid);
  r.characterMaximumLength = static_cast<std::uint32_t>(number(kColumnsCharacterMaximumLength));
  r.characterOctetLength = static_cast<std::uint32_t>(number(kColumnsCharacterOctetLength));
  r.numericPrecision = static_cast<std::uint16_t>(number(kColumnsNumericPrecision));
  r.numericScale = static_cast<std::int16_t>(number(kColumnsNumericScale));
  r.datetimePrecision = static_cast<std::uint32_t>(number(kColumnsDatetimePrecision));
  r.characterSetCatalog = text(kColumnsCharacterSetCatalog);
  r.characterSetSchema = text(kColumnsCharacterSetSchema);
  r.characterSetName = text(kColumnsCharacterSetName);
  r.collationCatalog = text(kColumnsCollationCatalog);
  r.collationSchema = text(kColumnsCollationSchema);
  r.collationName = text(kColumnsCollationName);
  r.domainCatalog = text(kColumnsDomainCatalog);
  r.domainSchema = text(kColumnsDomainSchema);
  r.domainName = text(kColumnsDomainName);
  r.description = text(kColumnsDescription);
  return result;
}

HResult IndexesRowset::open(Session& session, std::string_view catalog, std::string_view schema,
                            std::string_view index, std::string_view type, std::string_view table) {
  return openSchema(session, SchemaRowset::Indexes,
                    Restrictions({catalog, schema, index, type, table}));
}

HResult IndexesRowset::moveNext() {
  const HResult result = advance();
  if (result != S_OK) return result;
  IndexRow& r = row_;
  r.tableCatalog = text(kIndexesTableCatalog);
  r.tableSchema = text(kIndexesTableSchema);
  r.tableName = text(kIndexesTableName);
  r.indexCatalog = text(kIndexesIndexCatalog);
  r.indexSchema = text(kIndexesIndexSchema);
  r.indexName = text(kIndexesIndexName);
  r.primaryKey = flag(kIndexesPrimaryKey);
  r.unique = flag(kIndexesUnique);
  r.clustered = flag(kIndexesClustered);
  r.type = static_cast<std::uint16_t>(number(kIndexesType));
  r.fillFactor = static_cast<std::int32_t>(number(kIndexesFillFactor));
  r.initialSize = static_cast<std::int32_t>(number(kIndexesInitialSize));
  r.nulls = static_cast<std::int32_t>(number(kIndexesNulls));
  r.sortBookmarks = flag(kIndexesSortBookmarks);
  r.autoUpdate = flag(kIndexesAutoUpdate);
  r.nullCollation = static_cast<std::int32_t>(number(kIndexesNullCollation));
  r.ordinalPosition = static_cast<std::uint32_t>(number(kIndexesOrdinalPosition));
  r.columnName = text(kIndexesColumnName);
  r.columnGuid = text(kIndexesColumnGuid);
  r.columnPropId = static_cast<std::uint32_t>(number(kIndexesColumnPropId));
  r.collation = static_cast<std::int16_t>(number(kIndexesCollation));
  r.cardinality = static_cast<std::int32_t>(number(kIndexesCardinality));
  r.pages = static_cast<std::int32_t>(number(kIndexesPages));
  r.integrated = text(kIndexesIntegrated);
  return result;
}

}  // namespace tablift
