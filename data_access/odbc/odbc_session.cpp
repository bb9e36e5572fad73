#include "data_access/odbc/odbc_session.h"

#include "data_access/odbc/odbc_array_insert.h"
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

HResult OdbcSession::prepareArrayInsert(std::string_view sql, std::size_t parameters,
                                        std::unique_ptr<ProviderArrayInsert>& insert) {
  // Array binding is what MariaDB Connector/ODBC turns into one bulk
  // execution; other drivers may run it row by row or not at all.
  if (!connection_->speaksMySql())
    return ProviderSession::prepareArrayInsert(sql, parameters, insert);
  return OdbcArrayInsert::Prepare(connection_, sql, parameters, insert);
}

}  // namespace tablift::odbc
