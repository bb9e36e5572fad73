#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data_access/odbc/odbc_connection.h"
#include "data_access/provider.h"

namespace tablift::odbc {

// A catalog rowset from the ODBC catalog functions (SQLTables, SQLColumns,
// SQLStatistics with SQLPrimaryKeys), in the columns and restriction order of
// the OLE DB schema rowsets. Restrictions match names exactly (the driver's
// search patterns are escaped and the rows filtered again).
HResult OpenSchemaRowset(const std::shared_ptr<OdbcConnection>& connection, SchemaRowset schema,
                         const std::vector<std::string>& restrictions,
                         std::unique_ptr<ProviderRowset>& rowset);

}  // namespace tablift::odbc
