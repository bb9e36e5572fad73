#pragma once

#include <memory>

#include "data_access/provider.h"

namespace tablift {

// The ProgID under which the ODBC provider registers.
inline constexpr const char* kOdbcProgId = "MSDASQL";

// A new, uninitialised data source object of the ODBC provider (unixODBC).
std::unique_ptr<ProviderDataSource> CreateOdbcDataSource();

}  // namespace tablift
