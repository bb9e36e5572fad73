#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>
#include <vector>

#include "data_access/error_info.h"

#include "data_access/result_codes.h"
#include "data_access/text_encoding.h"

namespace tablift::odbc {

// The name error records give as their source.
inline constexpr const char* kProviderSource = "Microsoft OLE DB Provider for ODBC Drivers";

// The process's ODBC environment (ODBC 3 behaviour), made on first use. It is
// never freed: connections may be released by static objects at exit, after
// any destructor of ours would have run.
SQLHENV Environment();

// The diagnostic records of a handle, each the driver's own message text
// decoded from the connection's character set.
std::vector<ErrorRecord> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle,
                                         const TextEncoding& encoding);

// The same records read from the driver itself, past the driver manager:
// unixODBC drops a record whose text it cannot convert (a latin1 message
// naming a table "\xC6nd", say), while the driver still holds it in the
// connection's character set. `statement` is the driver manager's handle.
std::vector<ErrorRecord> ReadDriverDiagnostics(SQLHDBC connection, SQLHSTMT statement,
                                               const TextEncoding& encoding);

// Leaves the records as the thread's error object; `fallback` is the
// description when there are none.
void PostRecords(std::vector<ErrorRecord> records, std::string_view fallback);

// Both: the records of a handle as the thread's error object.
void PostDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const TextEncoding& encoding,
                     std::string_view fallback);

// Leaves one error record with our own description.
void PostProviderError(std::string description);

// A statement handle freed when it goes out of scope.
class StatementHandle {
 public:
  StatementHandle() = default;
  explicit StatementHandle(SQLHSTMT handle) : handle_(handle) {}
  ~StatementHandle() { reset(); }
  StatementHandle(StatementHandle&& other) noexcept : handle_(other.release()) {}
  StatementHandle& operator=(StatementHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.release();
    }
    return *this;
  }
  StatementHandle(const StatementHandle&) = delete;
  StatementHandle& operator=(const StatementHandle&) = delete;

  SQLHSTMT get() const { return handle_; }
  SQLHSTMT release() {
    SQLHSTMT handle = handle_;
    handle_ = SQL_NULL_HSTMT;
    return handle;
  }
  void reset() {
    if (handle_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, handle_);
    handle_ = SQL_NULL_HSTMT;
  }

 private:
  SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

}  // namespace tablift::odbc
