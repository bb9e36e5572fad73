#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/error_info.h"
#include "data_access/parameter_rows.h"
#include "data_access/property_set.h"
#include "data_access/result_codes.h"

// The interface a data provider implements so that the consumer objects
// (DataSource, Session, Command, Rowset and the catalog rowsets) can stand on
// it. Two providers exist: ODBC ("MSDASQL") and Jet ("Microsoft.Jet.OLEDB.4.0").
//
// Rules every provider object keeps:
// - Every operation returns a result code; nothing throws.
// - A failing operation leaves an error object on the calling thread with
//   PostError(description, source), the description being the provider's own
//   message (for ODBC the driver's diagnostic text), so that
//   DescribeOleDbError gives it. InterfaceSupportsErrorInfo answers S_OK.
// - All text is UTF-8.
namespace tablift {

// The catalog rowsets. Their columns and restrictions are those of the OLE DB
// schema rowsets of the same names (see data_access/schema_rowsets.h).
enum class SchemaRowset { Catalogs, Tables, Columns, Indexes };

// A forward-only result: column information, then rows one at a time.
class ProviderRowset : public ErrorInfoSupport {
 public:
  HResult InterfaceSupportsErrorInfo(InterfaceId) const override { return S_OK; }

  // The result's columns, ordinals counted from 1; the same on every call.
  virtual HResult columnInfo(std::vector<ColumnInfo>& columns) = 0;
  // Moves to the next row: S_OK, DB_S_ENDOFROWSET after the last row, or a
  // failure.
  virtual HResult nextRow() = 0;
  // The current row's value of a column, whole, in the provider's text form:
  // numbers in C locale, dates "YYYY-MM-DD HH:MM:SS", booleans (DBTYPE_BOOL)
  // "True"/"False", binary as upper-case hexadecimal digits, text as UTF-8. May be called more than
  // once per value.
  virtual HResult value(std::size_t ordinal, ColumnValue& value) = 0;
};

// One statement.
class ProviderCommand : public ErrorInfoSupport {
 public:
  HResult InterfaceSupportsErrorInfo(InterfaceId) const override { return S_OK; }

  virtual HResult setText(std::string_view text) = 0;
  // The rowset properties the consumer asks for (DBPROPSET_ROWSET).
  virtual HResult setProperties(const PropertySet& rowsetProperties) = 0;
  // Runs the text. A statement without a result set leaves `rowset` empty.
  // `rowsAffected` is -1 when the provider cannot tell.
  virtual HResult execute(std::unique_ptr<ProviderRowset>& rowset, std::int64_t& rowsAffected) = 0;
};

// Rows of parameter values laid out as a provider sends them.
class StagedParameters {
 public:
  virtual ~StagedParameters() = default;
};

// The most parameter markers one prepared statement may hold (the server's
// limit, and the widest parameter number ODBC has).
inline constexpr std::size_t kMaxStatementParameters = 65535;

// What a prepared INSERT of many rows inserts into.
struct ArrayInsertShape {
  // The parameter markers of one row, and the rows of one statement.
  std::size_t columns = 0;
  std::size_t rowsPerStatement = 1;
  // The target's DATETIME columns, by position (empty when unknown). A
  // DATETIME column reads the number YYYYMMDDhhmmss of a year from 1000 on as
  // the same date as its text, so a provider may send such dates to it as
  // numbers.
  std::vector<bool> dateTimeTargets;
};

// An INSERT prepared once and run for many rows at a time, each row's values
// bound as parameters, so the server parses the statement once rather than
// once per batch or per row. Either the statement holds one row and runs for
// an array of rows (array binding), or it holds a fixed number of rows and
// runs for a whole multiple of that many: each group of rows in turn, in one
// exchange with the server, which stops at the first group it refuses.
class ProviderArrayInsert : public ErrorInfoSupport {
 public:
  HResult InterfaceSupportsErrorInfo(InterfaceId) const override { return S_OK; }

  // Lays the first `count` of `rows` out for execute() (text in the
  // connection's character set), reusing what `staged` holds. It may run on
  // another thread while an earlier batch executes, so the server need not
  // wait for it.
  virtual HResult stage(const ParameterRows& rows, std::size_t count,
                        std::unique_ptr<StagedParameters>& staged) = 0;
  // Runs the statement for every staged row. A failure means the rows were
  // not all stored; which of them the server kept is the caller's to find
  // out (a transactional table keeps none of them).
  virtual HResult execute(const StagedParameters& staged) = 0;
};

// A session on an initialised data source. Commands and rowsets may outlive
// the consumer's Session object; they keep what they need alive.
class ProviderSession : public ErrorInfoSupport {
 public:
  HResult InterfaceSupportsErrorInfo(InterfaceId) const override { return S_OK; }

  virtual HResult createCommand(std::unique_ptr<ProviderCommand>& command) = 0;
  // A catalog rowset. `restrictions` are in the schema's order; an empty text
  // means no restriction, and missing trailing entries are empty.
  virtual HResult schemaRowset(SchemaRowset schema, const std::vector<std::string>& restrictions,
                               std::unique_ptr<ProviderRowset>& rowset) = 0;

  // The character set (a MySQL name such as "latin1") in which statement text
  // travels to the server and results come back. Providers whose texts are
  // always UTF-8 answer "utf8" and accept no other.
  virtual std::string clientCharset() const = 0;
  virtual HResult setClientCharset(std::string_view name) = 0;

  // The number of rows the source's own catalog records for `table`, known
  // without reading them (Jet keeps it in the table's definition). Good for
  // showing how far a reading has got, never for checking a count. E_NOTIMPL
  // where the provider keeps no such number.
  virtual HResult recordedRowCount(std::string_view table, std::uint64_t& rows) {
    (void)table;
    rows = 0;
    return E_NOTIMPL;
  }

  // Prepares `sql`, an INSERT whose VALUES hold `shape.rowsPerStatement`
  // rows of `shape.columns` parameter markers each, for ProviderArrayInsert:
  // with one row per statement it runs for arrays of rows, with more for
  // exactly that many rows at a time. E_NOTIMPL where the provider has no
  // such binding.
  virtual HResult prepareArrayInsert(std::string_view sql, const ArrayInsertShape& shape,
                                     std::unique_ptr<ProviderArrayInsert>& insert) {
    (void)sql;
    (void)shape;
    insert.reset();
    return E_NOTIMPL;
  }
};

// A data source object: created uninitialised, given its DBPROPSET_DBINIT
// properties, then initialised (connected).
class ProviderDataSource : public ErrorInfoSupport {
 public:
  HResult InterfaceSupportsErrorInfo(InterfaceId) const override { return S_OK; }

  // Property sets of other groups than those the provider knows are ignored.
  virtual HResult setProperties(const PropertySet* sets, std::size_t count) = 0;
  virtual HResult initialize() = 0;
  // Data source information (DBPROPSET_DATASOURCEINFO): DBPROP_DBMSNAME,
  // DBPROP_DBMSVER, DBPROP_DATASOURCENAME and DBPROP_CURRENTCATALOG (the Jet
  // provider also DBPROP_JETOLEDB_ENGINE).
  virtual HResult info(PropertyId id, std::string& value) = 0;
  virtual HResult createSession(std::shared_ptr<ProviderSession>& session) = 0;
};

}  // namespace tablift
