#include "data_access/odbc/odbc_session.h"

#include "data_access/odbc/odbc_catalog.h"
#include "data_access/odbc/odbc_command.h"

namespace tablift::odbc {

HResult OdbcSession::createCommand(std::unique_ptr<ProviderCommand>& command) {
  command = std::make_unique<OdbcCommand>(connection_);
  return S_OK;
}

HResult OdbcSession::schemaRowset(SchemaRowset schema, const std::vector<std::string>& restrictions,
                                  std::unique_ptr<ProviderRowset>& rowset) {
  return OpenSchemaRowset(connection_, schema, restrictions, rowset);
}

}  // namespace tablift::odbc
