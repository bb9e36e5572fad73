#pragma once

#include <memory>

#include "data_access/provider.h"

namespace tablift {

// The ProgID under which the Jet provider registers.
inline constexpr const char* kJetProgId = "Microsoft.Jet.OLEDB.4.0";

// A new, uninitialised data source object of the Jet provider (an .mdb file
// read with libmdb). Its initialisation properties: DBPROP_INIT_DATASOURCE,
// the path of the file; DBPROP_AUTH_PASSWORD, the database password.
std::unique_ptr<ProviderDataSource> CreateJetDataSource();

}  // namespace tablift
