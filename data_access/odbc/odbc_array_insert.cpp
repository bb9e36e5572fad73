#include "data_access/odbc/odbc_array_insert.h"

#include <sqlext.h>

#include <algorithm>
#include <cstring>

namespace tablift::odbc {

HResult OdbcArrayInsert::Prepare(const std::shared_ptr<OdbcConnection>& connection,
                                 std::string_view sql, std::size_t parameters,
                                 std::unique_ptr<ProviderArrayInsert>& insert) {
  insert.reset();
  if (parameters == 0) {
    PostProviderError("An array insert needs at least one parameter");
    return E_INVALIDARG;
  }
  std::string text;
  std::string error;
  if (!connection->encoding().encode(sql, text, error)) {
    PostProviderError(error);
    return DB_E_CANTCONVERTVALUE;
  }
  StatementHandle statement(connection->newStatement());
  if (statement.get() == SQL_NULL_HSTMT) return E_FAIL;
  const SQLHSTMT handle = statement.get();
  if (!SQL_SUCCEEDED(SQLSetStmtAttr(handle, SQL_ATTR_PARAM_BIND_TYPE,
                                    reinterpret_cast<SQLPOINTER>(SQL_PARAM_BIND_BY_COLUMN), 0)) ||
      !SQL_SUCCEEDED(SQLPrepare(handle, reinterpret_cast<SQLCHAR*>(text.data()),
                                static_cast<SQLINTEGER>(text.size())))) {
    connection->postStatementError(handle, "Preparing the statement failed");
    return DB_E_ERRORSINCOMMAND;
  }
  insert = std::make_unique<OdbcArrayInsert>(connection, std::move(statement), parameters);
  return S_OK;
}

HResult OdbcArrayInsert::bindColumn(std::size_t column, const ParameterRows& rows) {
  const std::size_t count = rows.rowCount();
  const TextEncoding encoding = connection_->encoding();
  // The values in the connection's character set first (text) or as they are
  // (bytes), to learn the array's stride.
  ColumnArray& array = columns_[column];
  array.lengths.assign(count, SQL_NULL_DATA);
  encoded_.clear();
  encodedEnds_.clear();
  const bool bytes = rows.holdsBytes(column);
  std::size_t width = 1;
  std::string error;
  for (std::size_t row = 0; row < count; ++row) {
    const std::size_t begin = encoded_.size();
    const ParameterRows::Kind kind = rows.kind(row, column);
    if (kind == ParameterRows::Kind::Bytes) {
      encoded_ += rows.data(row, column);
    } else if (kind == ParameterRows::Kind::Text &&
               !encoding.encodeAppending(rows.data(row, column), encoded_, error)) {
      PostProviderError(error);
      return DB_E_CANTCONVERTVALUE;
    }
    encodedEnds_.push_back(encoded_.size());
    if (kind == ParameterRows::Kind::Null) continue;
    array.lengths[row] = static_cast<SQLLEN>(encoded_.size() - begin);
    width = std::max(width, encoded_.size() - begin);
  }
  array.buffer.assign(width * count, '\0');
  for (std::size_t row = 0; row < count; ++row) {
    const std::size_t begin = row == 0 ? 0 : encodedEnds_[row - 1];
    if (encodedEnds_[row] > begin) {
      std::memcpy(array.buffer.data() + row * width, encoded_.data() + begin,
                  encodedEnds_[row] - begin);
    }
  }
  // Bytes go as binary; text the server reads in the connection's character
  // set, as it reads statement text.
  const SQLSMALLINT cType = bytes ? SQL_C_BINARY : SQL_C_CHAR;
  const SQLSMALLINT sqlType = bytes ? SQL_LONGVARBINARY : SQL_LONGVARCHAR;
  if (!SQL_SUCCEEDED(SQLBindParameter(
          statement_.get(), static_cast<SQLUSMALLINT>(column + 1), SQL_PARAM_INPUT, cType, sqlType,
          width, 0, array.buffer.data(), static_cast<SQLLEN>(width), array.lengths.data()))) {
    connection_->postStatementError(statement_.get(), "Binding the values failed");
    return DB_E_ERRORSINCOMMAND;
  }
  return S_OK;
}

HResult OdbcArrayInsert::execute(const ParameterRows& rows) {
  const std::size_t count = rows.rowCount();
  if (count == 0) return S_OK;
  if (rows.columnCount() != columns_.size()) {
    PostProviderError("The values do not fill the rows");
    return E_INVALIDARG;
  }
  for (std::size_t column = 0; column < columns_.size(); ++column) {
    const HResult bound = bindColumn(column, rows);
    if (Failed(bound)) return bound;
  }
  const SQLHSTMT handle = statement_.get();
  if (!SQL_SUCCEEDED(SQLSetStmtAttr(handle, SQL_ATTR_PARAMSET_SIZE,
                                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(count)),
                                    0))) {
    connection_->postStatementError(handle, "Setting the array size failed");
    return DB_E_ERRORSINCOMMAND;
  }
  const SQLRETURN rc = SQLExecute(handle);
  if (!SQL_SUCCEEDED(rc)) {
    connection_->postStatementError(handle, "The statement failed");
    SQLFreeStmt(handle, SQL_CLOSE);
    return DB_E_ERRORSINCOMMAND;
  }
  SQLFreeStmt(handle, SQL_CLOSE);
  return S_OK;
}

}  // namespace tablift::odbc
