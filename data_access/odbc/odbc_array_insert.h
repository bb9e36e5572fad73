#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data_access/odbc/odbc_connection.h"
#include "data_access/odbc/odbc_diagnostics.h"
#include "data_access/provider.h"

namespace tablift::odbc {

// An INSERT prepared once on a statement handle of its own and run with
// column-wise parameter arrays (SQL_ATTR_PARAMSET_SIZE). MariaDB
// Connector/ODBC sends such an array to the server as one bulk execution.
// When the server refuses one row, the driver fails the whole array without
// saying which row it was (it fills no status array): the caller finds out.
class OdbcArrayInsert : public ProviderArrayInsert {
 public:
  OdbcArrayInsert(std::shared_ptr<OdbcConnection> connection, StatementHandle statement,
                  std::size_t parameters)
      : connection_(std::move(connection)),
        statement_(std::move(statement)),
        columns_(parameters) {}

  // Prepares the statement; the error object says why not.
  static HResult Prepare(const std::shared_ptr<OdbcConnection>& connection, std::string_view sql,
                         std::size_t parameters, std::unique_ptr<ProviderArrayInsert>& insert);

  HResult execute(const ParameterRows& rows) override;

 private:
  // One parameter's array: every row's value at a fixed stride.
  struct ColumnArray {
    std::vector<char> buffer;
    std::vector<SQLLEN> lengths;
  };

  HResult bindColumn(std::size_t column, const ParameterRows& rows);

  std::shared_ptr<OdbcConnection> connection_;
  StatementHandle statement_;
  std::vector<ColumnArray> columns_;
  // A column's values in the connection's character set, one after the
  // other, before they are spread over the array.
  std::string encoded_;
  std::vector<std::size_t> encodedEnds_;
};

}  // namespace tablift::odbc
