#include "data_access/odbc/odbc_connection.h"

#include <sqlext.h>

#include <utility>

#include "data_access/odbc/odbc_diagnostics.h"

namespace tablift::odbc {

std::string ConnectionInfo(SQLHDBC handle, SQLUSMALLINT type) {
  char value[512] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(handle, type, value, sizeof value, &length))) return {};
  return value;
}

OdbcConnection::OdbcConnection(SQLHDBC handle, bool speaksMySql, TextEncoding encoding)
    : handle_(handle),
      speaksMySql_(speaksMySql),
      searchEscape_(ConnectionInfo(handle, SQL_SEARCH_PATTERN_ESCAPE)),
      encoding_(std::move(encoding)) {}

OdbcConnection::~OdbcConnection() {
  SQLDisconnect(handle_);
  SQLFreeHandle(SQL_HANDLE_DBC, handle_);
}

TextEncoding OdbcConnection::encoding() const {
  std::lock_guard guard(mutex_);
  return encoding_;
}

SQLHSTMT OdbcConnection::newStatement() const {
  SQLHSTMT statement = SQL_NULL_HSTMT;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, handle_, &statement))) {
    PostDiagnostics(SQL_HANDLE_DBC, handle_, encoding(), "Cannot make a statement handle");
    return SQL_NULL_HSTMT;
  }
  return statement;
}

void OdbcConnection::postStatementError(SQLHSTMT statement, std::string_view fallback) const {
  const TextEncoding current = encoding();
  std::vector<ErrorRecord> records = ReadDiagnostics(SQL_HANDLE_STMT, statement, current);
  if (records.empty()) records = ReadDriverDiagnostics(handle_, statement, current);
  PostRecords(std::move(records), fallback);
}

HResult OdbcConnection::setCharset(std::string_view name) {
  std::string error;
  std::optional<TextEncoding> wanted = TextEncoding::ForCharset(name, error);
  if (!wanted) {
    PostProviderError(error);
    return E_INVALIDARG;
  }
  if (!speaksMySql_) {
    // Other drivers hand text over as UTF-8 and have no way to change it.
    if (wanted->isUtf8()) return S_OK;
    PostProviderError("The data source cannot change its character set to " + wanted->name());
    return DB_E_NOTSUPPORTED;
  }
  StatementHandle statement(newStatement());
  if (statement.get() == SQL_NULL_HSTMT) return E_FAIL;
  // MariaDB Connector/ODBC refuses "SET NAMES"; the three variables it sets
  // are set one by one instead.
  const std::string& set = wanted->name();
  std::string sql = "SET character_set_client=" + set + ", character_set_connection=" + set +
                    ", character_set_results=" + set;
  if (!SQL_SUCCEEDED(SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(sql.data()),
                                   static_cast<SQLINTEGER>(sql.size())))) {
    postStatementError(statement.get(), "Changing the character set failed");
    return DB_E_ERRORSINCOMMAND;
  }
  std::lock_guard guard(mutex_);
  encoding_ = std::move(*wanted);
  return S_OK;
}

}  // namespace tablift::odbc
