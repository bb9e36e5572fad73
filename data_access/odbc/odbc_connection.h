#pragma once

#include <sql.h>

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/error_info.h"

#include "data_access/result_codes.h"
#include "data_access/text_encoding.h"

namespace tablift::odbc {

// One connected ODBC connection handle, shared by the session and every
// command and rowset made on it; disconnected when the last of them lets go.
// Statement text and results travel in the connection's character set.
class OdbcConnection {
 public:
  // Takes over a connected handle. `speaksMySql` says whether the server
  // understands "SET NAMES" (MySQL and MariaDB).
  OdbcConnection(SQLHDBC handle, bool speaksMySql, TextEncoding encoding);
  ~OdbcConnection();
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  SQLHDBC handle() const { return handle_; }
  bool speaksMySql() const { return speaksMySql_; }

  TextEncoding encoding() const;
  // Switches the server (character_set_client, _connection and _results)
  // and then the conversion; on a failure
  // both stay as they were and an error object says why.
  HResult setCharset(std::string_view name);

  // A new statement handle; SQL_NULL_HSTMT with an error object on failure.
  SQLHSTMT newStatement() const;
  // Leaves the diagnostics of a failed statement as the thread's error
  // object.
  void postStatementError(SQLHSTMT statement, std::string_view fallback) const;

  // The driver's escape for "_" and "%" in catalog search patterns.
  const std::string& searchPatternEscape() const { return searchEscape_; }

 private:
  SQLHDBC handle_;
  bool speaksMySql_;
  std::string searchEscape_;
  mutable std::mutex mutex_;
  TextEncoding encoding_;
};

// The driver's information text (SQLGetInfo) of the connection.
std::string ConnectionInfo(SQLHDBC handle, SQLUSMALLINT type);

}  // namespace tablift::odbc
