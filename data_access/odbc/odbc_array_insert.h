#pragma once

#include <sql.h>
#include <sqlext.h>

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
//
// With several rows per statement the statement runs for a whole multiple of
// that many rows, its values bound one by one. Binding thousands of
// parameters costs the driver more than the server's work saved, so the
// parameters stay bound to buffers of the statement's own: each batch's
// values are copied there, and a column is bound again only when its values
// outgrow their slots, fill less than half of them or change their form, or
// when the batch holds another number of groups. A batch of several groups
// travels as arrays of that many sets of the statement's parameters, which
// the driver sends as one bulk execution: its walk over every parameter's
// records, and the exchange with the server, come once per batch instead of
// once per group, and the server runs the statement for each set in turn.
class OdbcArrayInsert : public ProviderArrayInsert {
 public:
  // The values of one column, a slot per row, as the driver reads them.
  struct ColumnSlots {
    std::vector<char> buffer;
    std::vector<SQLLEN> lengths;
    std::size_t width = 1;
    // How the values travel: SQL_C_CHAR, SQL_C_BINARY, SQL_C_SBIGINT or
    // SQL_C_TYPE_TIMESTAMP.
    SQLSMALLINT cType = SQL_C_CHAR;
  };

  OdbcArrayInsert(std::shared_ptr<OdbcConnection> connection, StatementHandle statement,
                  ArrayInsertShape shape)
      : connection_(std::move(connection)),
        statement_(std::move(statement)),
        columns_(shape.columns),
        rowsPerStatement_(shape.rowsPerStatement),
        dateTimeTargets_(std::move(shape.dateTimeTargets)) {}

  // Prepares the statement; the error object says why not.
  static HResult Prepare(const std::shared_ptr<OdbcConnection>& connection, std::string_view sql,
                         const ArrayInsertShape& shape,
                         std::unique_ptr<ProviderArrayInsert>& insert);

  HResult stage(const ParameterRows& rows, std::size_t count,
                std::unique_ptr<StagedParameters>& staged) override;
  HResult execute(const StagedParameters& staged) override;

 private:
  HResult executeArrays(const std::vector<ColumnSlots>& columns, std::size_t rows);
  HResult executeRows(const std::vector<ColumnSlots>& columns, std::size_t rows);
  HResult run();

  std::shared_ptr<OdbcConnection> connection_;
  StatementHandle statement_;
  std::size_t columns_;
  std::size_t rowsPerStatement_;
  std::vector<bool> dateTimeTargets_;
  // With several rows per statement: the buffers the parameters are bound to,
  // and for how many groups of rows (the sets of each parameter's array).
  std::vector<ColumnSlots> bound_;
  std::size_t boundGroups_ = 0;
};

}  // namespace tablift::odbc
