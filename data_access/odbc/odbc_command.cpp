#include "data_access/odbc/odbc_command.h"

#include <sqlext.h>

#include "data_access/odbc/odbc_diagnostics.h"
#include "data_access/odbc/odbc_rowset.h"

namespace tablift::odbc {

HResult OdbcCommand::setText(std::string_view text) {
  text_.assign(text);
  return S_OK;
}

HResult OdbcCommand::setProperties(const PropertySet&) {
  return S_OK;
}

HResult OdbcCommand::execute(std::unique_ptr<ProviderRowset>& rowset, std::int64_t& rowsAffected) {
  rowset.reset();
  rowsAffected = -1;
  const TextEncoding encoding = connection_->encoding();
  std::string sql;
  std::string error;
  if (!encoding.encode(text_, sql, error)) {
    PostProviderError(error);
    return DB_E_CANTCONVERTVALUE;
  }
  StatementHandle statement(connection_->newStatement());
  if (statement.get() == SQL_NULL_HSTMT) return E_FAIL;
  const SQLRETURN rc = SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(sql.data()),
                                     static_cast<SQLINTEGER>(sql.size()));
  // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row.
  if (rc == SQL_NO_DATA) {
    rowsAffected = 0;
    return S_OK;
  }
  if (!SQL_SUCCEEDED(rc)) {
    connection_->postStatementError(statement.get(), "The statement failed");
    return DB_E_ERRORSINCOMMAND;
  }
  SQLSMALLINT columns = 0;
  if (!SQL_SUCCEEDED(SQLNumResultCols(statement.get(), &columns))) {
    connection_->postStatementError(statement.get(), "The statement failed");
    return DB_E_ERRORSINCOMMAND;
  }
  if (columns == 0) {
    SQLLEN count = -1;
    if (SQL_SUCCEEDED(SQLRowCount(statement.get(), &count))) rowsAffected = count;
    return S_OK;
  }
  rowset = std::make_unique<OdbcRowset>(connection_, std::move(statement));
  return S_OK;
}

}  // namespace tablift::odbc
