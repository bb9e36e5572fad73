#pragma once

#include <memory>

#include "data_access/provider.h"

namespace tablift {

class DataSource;
class Session;
namespace jet {
class JetDatabase;
}

// The ProgID under which the Jet provider registers.
inline constexpr const char* kJetProgId = "Microsoft.Jet.OLEDB.4.0";

// A new, uninitialised data source object of the Jet provider (an .mdb or
// .accdb file read with libmdb). Its initialisation properties:
// DBPROP_INIT_DATASOURCE, the path of the file; DBPROP_AUTH_PASSWORD, the
// database password (which also decrypts an encrypted .accdb). Its
// information properties add DBPROP_JETOLEDB_ENGINE, the file's format.
std::unique_ptr<ProviderDataSource> CreateJetDataSource();

// The database behind an initialised data source of the Jet provider, for
// what OLE DB's rowsets do not carry (jet::JetDatabase::describeTable's
// column details, complex columns' values); null for another provider's data
// source or one not initialised.
std::shared_ptr<jet::JetDatabase> JetDatabaseOf(const DataSource& dataSource);
// The same through an open session of the Jet provider.
std::shared_ptr<jet::JetDatabase> JetDatabaseOf(const Session& session);

}  // namespace tablift
