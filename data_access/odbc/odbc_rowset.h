#pragma once

#include <sql.h>

#include <memory>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/odbc/odbc_connection.h"
#include "data_access/odbc/odbc_diagnostics.h"
#include "data_access/provider.h"

namespace tablift::odbc {

// The result of an executed statement (a query or a catalog function). Each
// row is read whole when it is fetched: long values with repeated SQLGetData,
// binary values as upper-case hexadecimal digits, text converted from the
// connection's character set to UTF-8.
class OdbcRowset : public ProviderRowset {
 public:
  OdbcRowset(std::shared_ptr<OdbcConnection> connection, StatementHandle statement);

  HResult columnInfo(std::vector<ColumnInfo>& columns) override;
  HResult nextRow() override;
  HResult value(std::size_t ordinal, ColumnValue& value) override;

 private:
  HResult describe();
  HResult readColumn(std::size_t index, ColumnValue& value);

  std::shared_ptr<OdbcConnection> connection_;
  StatementHandle statement_;
  TextEncoding encoding_;
  bool described_ = false;
  std::vector<ColumnInfo> columns_;
  std::vector<SQLSMALLINT> sqlTypes_;
  std::vector<ColumnValue> row_;
  bool rowHeld_ = false;
  std::vector<char> chunk_;
};

}  // namespace tablift::odbc
