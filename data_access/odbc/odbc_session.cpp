#include "data_access/odbc/odbc_session.h"

#include <sqlext.h>

#include <cstdio>

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

namespace {

// MariaDB 10.2 and later take a parameter array as one bulk execution. Other
// servers (MySQL among them) get it from the driver as one execution per
// row, slower than a multi-row INSERT.
bool TakesBulkExecution(SQLHDBC handle) {
  if (ConnectionInfo(handle, SQL_DBMS_NAME).find("MariaDB") == std::string::npos) return false;
  // "10.11.000019"
  const std::string version = ConnectionInfo(handle, SQL_DBMS_VER);
  unsigned major = 0;
  unsigned minor = 0;
  if (std::sscanf(version.c_str(), "%u.%u", &major, &minor) != 2) return false;
  return major > 10 || (major == 10 && minor >= 2);
}

}  // namespace

HResult OdbcSession::prepareArrayInsert(std::string_view sql, const ArrayInsertShape& shape,
                                        std::unique_ptr<ProviderArrayInsert>& insert) {
  // A statement of several rows needs no bulk execution, only a server that
  // keeps prepared statements; the arrays need both.
  if (!connection_->speaksMySql() ||
      (shape.rowsPerStatement <= 1 && !TakesBulkExecution(connection_->handle()))) {
    return ProviderSession::prepareArrayInsert(sql, shape, insert);
  }
  return OdbcArrayInsert::Prepare(connection_, sql, shape, insert);
}

}  // namespace tablift::odbc
