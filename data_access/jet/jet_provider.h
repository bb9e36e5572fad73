#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "data_access/jet/sql/query_executor.h"
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

// Gives the parameters of the statements later run on an open session of the
// Jet provider their values (a saved parameter query run to compare it with
// its migrated procedure); false for another provider's session.
bool SetJetQueryParameters(const Session& session, jet::QueryParameters parameters);

// The parameters a statement needs when run on an open session of the Jet
// provider, declared ones first (see jet::ListJetQueryParameters).
HResult ListJetQueryParameters(const Session& session, std::string_view sql,
                               std::vector<jet::QueryParameterInfo>& parameters);

}  // namespace tablift
