#pragma once

#include <cstddef>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/provider.h"

// The columns of the catalog rowsets as OLE DB defines them, for providers to
// build their schema rowsets with and for the catalog records to read.
namespace tablift {

// CATALOGS
enum CatalogsOrdinal : std::size_t { kCatalogName = 1, kCatalogDescription };

// TABLES
enum TablesOrdinal : std::size_t {
  kTablesCatalog = 1,
  kTablesSchema,
  kTablesName,
  kTablesType,
  kTablesGuid,
  kTablesDescription,
  kTablesPropId,
  kTablesDateCreated,
  kTablesDateModified,
};

// COLUMNS
enum ColumnsOrdinal : std::size_t {
  kColumnsTableCatalog = 1,
  kColumnsTableSchema,
  kColumnsTableName,
  kColumnsName,
  kColumnsGuid,
  kColumnsPropId,
  kColumnsOrdinalPosition,
  kColumnsHasDefault,
  kColumnsDefault,
  kColumnsFlags,
  kColumnsIsNullable,
  kColumnsDataType,
  kColumnsTypeGuid,
  kColumnsCharacterMaximumLength,
  kColumnsCharacterOctetLength,
  kColumnsNumericPrecision,
  kColumnsNumericScale,
  kColumnsDatetimePrecision,
  kColumnsCharacterSetCatalog,
  kColumnsCharacterSetSchema,
  kColumnsCharacterSetName,
  kColumnsCollationCatalog,
  kColumnsCollationSchema,
  kColumnsCollationName,
  kColumnsDomainCatalog,
  kColumnsDomainSchema,
  kColumnsDomainName,
  kColumnsDescription,
};

// INDEXES
enum IndexesOrdinal : std::size_t {
  kIndexesTableCatalog = 1,
  kIndexesTableSchema,
  kIndexesTableName,
  kIndexesIndexCatalog,
  kIndexesIndexSchema,
  kIndexesIndexName,
  kIndexesPrimaryKey,
  kIndexesUnique,
  kIndexesClustered,
  kIndexesType,
  kIndexesFillFactor,
  kIndexesInitialSize,
  kIndexesNulls,
  kIndexesSortBookmarks,
  kIndexesAutoUpdate,
  kIndexesNullCollation,
  kIndexesOrdinalPosition,
  kIndexesColumnName,
  kIndexesColumnGuid,
  kIndexesColumnPropId,
  kIndexesCollation,
  kIndexesCardinality,
  kIndexesPages,
  kIndexesFilterCondition,
  kIndexesIntegrated,
};

// Index types and collations as the INDEXES rowset reports them.
inline constexpr int DBPROPVAL_IT_BTREE = 1;
inline constexpr int DBPROPVAL_IT_HASH = 2;
inline constexpr int DBPROPVAL_IT_CONTENT = 3;
inline constexpr int DBPROPVAL_IT_OTHER = 4;
inline constexpr int DB_COLLATION_ASC = 1;
inline constexpr int DB_COLLATION_DESC = 2;

// Restrictions each schema takes, in order.
inline constexpr std::size_t kCatalogsRestrictions = 1;  // catalog
inline constexpr std::size_t kTablesRestrictions = 4;    // catalog, schema, table, type
inline constexpr std::size_t kColumnsRestrictions = 4;   // catalog, schema, table, column
inline constexpr std::size_t kIndexesRestrictions = 5;   // catalog, schema, index, type, table

// The column information of a schema rowset (names, ordinals, types).
const std::vector<ColumnInfo>& SchemaColumns(SchemaRowset schema);

// Booleans travel as "True"/"False" in the text form; these read and write them.
inline constexpr const char* kTrueText = "True";
inline constexpr const char* kFalseText = "False";

}  // namespace tablift
