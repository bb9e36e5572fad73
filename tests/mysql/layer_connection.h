#pragma once

// A connection of the data access layer's ODBC provider to the private
// MariaDB server, opened the way the target side opens it: the driver string
// as DBPROP_INIT_PROVIDERSTRING, the credentials as properties of their own.

#include <optional>
#include <string>
#include <vector>

#include "data_access/data_source.h"
#include "data_access/result_codes.h"
#include "data_access/session.h"
#include "tests/support/private_server.h"

namespace tablift::test {

// The test database the layer's tests work in: one per test process, because
// CTest runs tests in parallel processes and each one drops and makes its own.
std::string LayerDatabase();

// Opens `dataSource` with the server's driver string and the given
// credentials (the server's own when not given).
HResult OpenServerDataSource(const PrivateServer& server, DataSource& dataSource,
                             std::optional<std::string> user = std::nullopt,
                             std::optional<std::string> password = std::nullopt,
                             const std::string& database = LayerDatabase());

// The first column of every row of a query, NULL as "<null>"; a failure text
// of RunTextQuery as the only element.
std::vector<std::string> FirstColumn(Session& session, const std::string& sql);

}  // namespace tablift::test
