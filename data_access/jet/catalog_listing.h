#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data_access/jet/jet_database.h"
#include "data_access/provider.h"

// The catalog rowsets of the Jet provider, with their columns and
// restrictions as OLE DB defines them (data_access/schema_rowsets.h). Names
// in restrictions are compared without regard to case, as Jet compares them.
// Jet has no schemas: TABLE_CATALOG and TABLE_SCHEMA are NULL, and a schema
// restriction matches nothing.
namespace tablift::jet {

// The database's name: its path without the ".mdb" or ".accdb" ending.
std::string CatalogName(const std::string& path);

// CATALOGS: the one database.
HResult ListCatalogs(JetDatabase& database, const std::vector<std::string>& restrictions,
                     std::unique_ptr<ProviderRowset>& rowset);
// TABLES: user tables "TABLE", MSys* tables "SYSTEM TABLE", linked tables
// "LINK", select queries without parameters "VIEW"; ordered by type, then
// name.
HResult ListTables(JetDatabase& database, const std::vector<std::string>& restrictions,
                   std::unique_ptr<ProviderRowset>& rowset);
// COLUMNS: per table, in the order Access shows the columns.
HResult ListColumns(JetDatabase& database, const std::vector<std::string>& restrictions,
                    std::unique_ptr<ProviderRowset>& rowset);
// INDEXES: one row per column of each index, the indexes in the order the
// file keeps them.
HResult ListIndexes(JetDatabase& database, const std::vector<std::string>& restrictions,
                    std::unique_ptr<ProviderRowset>& rowset);

}  // namespace tablift::jet
