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

  HResult stage(const ParameterRows& rows, std::unique_ptr<StagedParameters>& staged) override;
  HResult execute(const StagedParameters& staged) override;

 private:
  std::shared_ptr<OdbcConnection> connection_;
  StatementHandle statement_;
  std::size_t columns_;
};

}  // namespace tablift::odbc
