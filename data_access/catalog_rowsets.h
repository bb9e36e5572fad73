#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/provider.h"
#include "data_access/result_codes.h"
#include "data_access/rowset.h"
#include "data_access/session.h"

namespace tablift {

// The records the catalog rowsets fill, field by field in rowset order. Text
// fields hold the whole text: a cut name would address another object and a
// cut default would change data. GUID fields hold the "{...}" text, empty when
// NULL; a NULL number or flag reads as 0 or false.

struct CatalogRow {  // CATALOGS: ordinals 1 and 2
  std::string catalogName;
  std::string description;
};

struct TableRow {  // TABLES: ordinals 1 to 6
  std::string tableCatalog;
  std::string tableSchema;
  std::string tableName;
  std::string tableType;  // "TABLE", "VIEW", "SYSTEM TABLE", ...
  std::string tableGuid;
  std::string description;
};

struct ColumnRow {  // COLUMNS: ordinals 1 to 28
  std::string tableCatalog;
  std::string tableSchema;
  std::string tableName;
  std::string columnName;
  std::string columnGuid;
  std::uint32_t columnPropId = 0;
  std::uint32_t ordinalPosition = 0;
  bool columnHasDefault = false;
  std::string columnDefault;
  std::uint32_t columnFlags = 0;
  bool isNullable = false;
  std::uint16_t dataType = 0;  // a DBType code
  std::string typeGuid;
  std::uint32_t characterMaximumLength = 0;
  std::uint32_t characterOctetLength = 0;
  std::uint16_t numericPrecision = 0;
  std::int16_t numericScale = 0;
  std::uint32_t datetimePrecision = 0;
  std::string characterSetCatalog;
  std::string characterSetSchema;
  std::string characterSetName;
  std::string collationCatalog;
  std::string collationSchema;
  std::string collationName;
  std::string domainCatalog;
  std::string domainSchema;
  std::string domainName;
  std::string description;
};

struct IndexRow {  // INDEXES: one row per index column
  std::string tableCatalog;
  std::string tableSchema;
  std::string tableName;
  std::string indexCatalog;
  std::string indexSchema;
  std::string indexName;
  bool primaryKey = false;
  bool unique = false;
  bool clustered = false;
  std::uint16_t type = 0;  // DBPROPVAL_IT_BTREE 1, HASH 2, CONTENT 3, OTHER 4
  std::int32_t fillFactor = 0;
  std::int32_t initialSize = 0;
  std::int32_t nulls = 0;
  bool sortBookmarks = false;
  bool autoUpdate = false;
  std::int32_t nullCollation = 0;
  std::uint32_t ordinalPosition = 0;  // of the column within the index, from 1
  std::string columnName;
  std::string columnGuid;
  std::uint32_t columnPropId = 0;
  std::int16_t collation = 0;  // DB_COLLATION_ASC 1, DB_COLLATION_DESC 2
  std::int32_t cardinality = 0;
  std::int32_t pages = 0;
  // The record's last text field, read from ordinal 25 (INTEGRATED) as the
  // classic record does; ordinal 24 (FILTER_CONDITION) is not read.
  std::string integrated;
};

// What the catalog rowsets share: the provider's schema rowset, walked one row
// at a time. Restrictions: an empty text means no restriction.
class CatalogRowset : public ErrorInfoSupport {
 public:
  CatalogRowset() = default;
  CatalogRowset(const CatalogRowset&) = delete;
  CatalogRowset& operator=(const CatalogRowset&) = delete;

  void close() { rowset_.close(); }
  bool isOpen() const { return rowset_.isOpen(); }
  Rowset& rowset() { return rowset_; }

  // S_OK: a failed open or move leaves an error object on this thread.
  HResult InterfaceSupportsErrorInfo(InterfaceId iid) const override;

 protected:
  HResult openSchema(Session& session, SchemaRowset schema, std::vector<std::string> restrictions);
  // Moves to the next row; the derived rowset then reads its record.
  HResult advance();
  // The held row's text of a column; empty for NULL.
  std::string text(std::size_t ordinal);
  std::int64_t number(std::size_t ordinal);
  bool flag(std::size_t ordinal);

 private:
  Rowset rowset_;
};

class CatalogsRowset : public CatalogRowset {
 public:
  HResult open(Session& session, std::string_view catalog = {});
  HResult moveNext();
  const CatalogRow& row() const { return row_; }

 private:
  CatalogRow row_;
};

class TablesRowset : public CatalogRowset {
 public:
  HResult open(Session& session, std::string_view catalog = {}, std::string_view schema = {},
               std::string_view table = {}, std::string_view type = {});
  HResult moveNext();
  const TableRow& row() const { return row_; }

 private:
  TableRow row_;
};

class ColumnsRowset : public CatalogRowset {
 public:
  HResult open(Session& session, std::string_view catalog = {}, std::string_view schema = {},
               std::string_view table = {}, std::string_view column = {});
  HResult moveNext();
  const ColumnRow& row() const { return row_; }

 private:
  ColumnRow row_;
};

class IndexesRowset : public CatalogRowset {
 public:
  HResult open(Session& session, std::string_view catalog = {}, std::string_view schema = {},
               std::string_view index = {}, std::string_view type = {},
               std::string_view table = {});
  HResult moveNext();
  const IndexRow& row() const { return row_; }

 private:
  IndexRow row_;
};

}  // namespace tablift
