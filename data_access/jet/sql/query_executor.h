#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/jet_value.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

// One column of a query's result. Expressions that are not plain columns get
// the type of their value (Text for strings, Double for arithmetic, Long for
// count(*)) and Access's "Expr1000" style names unless aliased.
//
// Types are decided from the statement before any row is read: a column
// reference keeps its table column's type, size, precision and scale; an
// expression gets the type its operands give (Long + Long is Long, Currency *
// Double is Currency, / is Double, comparisons are Boolean, text is Text(255)
// or Memo when a Memo takes part, Count is Long, Sum of whole numbers is
// Double). Every non-Null value in a row has the Value kind of its column's
// type (Long for Byte, Integer and Long; Double for Single; std::string for
// Text and Memo; Bytes for Binary and OLE Object).
//
// Names: a column reference is named as its table column; the same name from
// two tables becomes "T.name"; an alias is used as written; any other
// expression is "Expr" followed by 1000 plus its 0-based place in the select
// list (count(*) alone is "Expr1000").
struct ResultColumn {
  std::string name;
  JetType type = JetType::Text;
  std::size_t size = 0;
  std::uint8_t precision = 0;
  std::uint8_t scale = 0;
};

// A running query: its columns, then its rows one at a time. Rows stream from
// the tables; nothing holds a whole table. (Only ORDER BY keeps the result
// rows, DISTINCT the distinct rows seen, GROUP BY and aggregates one row per
// group.)
class QueryResult {
 public:
  virtual ~QueryResult() = default;
  virtual const std::vector<ResultColumn>& columns() const = 0;
  // S_OK with the next row (one value per column), DB_S_ENDOFROWSET after the
  // last, or a failure with an error object posted (a value that cannot be
  // computed, a damaged table).
  //
  // A value that cannot be computed is E_FAIL with Access's wording and the
  // place: "Division by zero in WHERE near position 35", "Invalid use of Null
  // ...", "Type mismatch ...", "Overflow ...". A table cursor's failure is
  // returned with the code and error object the cursor posted. After a
  // failure every call fails; after the end every call gives
  // DB_S_ENDOFROWSET. Nothing is thrown.
  //
  // `row` is written over, its values' memory used again; after the end or
  // a failure what it holds is no row.
  virtual HResult next(std::vector<Value>& row) = 0;
};

// Parses an Access SQL SELECT statement and starts it over the catalog's
// tables. A syntax error or an unknown table, column or function gives
// DB_E_ERRORSINCOMMAND with an error object whose description points at the
// problem; `result` is then empty.
//
// No row is read here: tables are looked up with TableCatalog::table, and
// their cursors are opened by the first QueryResult::next. The error source
// is "Microsoft JET Database Engine". Nothing is thrown.
//
// Besides plain selects it runs what saved queries hold: UNION [ALL] of any
// number of selects, subqueries ((SELECT ...) as a value, IN (SELECT ...),
// EXISTS, comparisons with ANY or ALL rows, correlated or not, derived
// tables), TOP n [PERCENT] with the rows tied with the last one,
// DISTINCTROW, TRANSFORM ... PIVOT crosstabs, domain functions (DLookup,
// DCount ...), and saved queries named in FROM (TableCatalog::savedQuerySql),
// which run as nested row sources. A crosstab without an IN list reads its
// rows here already: its columns are the values it finds. A statement that
// calls domain functions reads the catalog while its rows are read, so the
// catalog must outlive the result.
HResult ExecuteJetQuery(TableCatalog& catalog, std::string_view sql,
                        std::unique_ptr<QueryResult>& result);

// Parameter names compare without regard to case, as Access's do.
struct ParameterNameLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
using QueryParameters = std::map<std::string, Value, ParameterNameLess>;

// The same with parameter values. A parameter is a name declared in
// PARAMETERS [name] Type, ...; (its value converted to that type as Access
// converts it), a bracketed name that is no column or alias, or a form or
// report control ([Forms]![Orders]![OrderID], Reports!R!C), which is the
// parameter named after the control ("OrderID"). Saved queries read as inputs
// see the same values. A parameter without a value fails the statement with
// DB_E_ERRORSINCOMMAND and "Too few parameters. Expected N.", N counting the
// parameters without a value.
HResult ExecuteJetQuery(TableCatalog& catalog, std::string_view sql,
                        const QueryParameters& parameters, std::unique_ptr<QueryResult>& result);

// A parameter a statement needs, with its declared type if it has one.
struct QueryParameterInfo {
  std::string name;
  std::optional<JetType> type;
  std::size_t size = 0;  // Text(n)
};

// The parameters the statement (and the saved queries it reads) need: the
// declared ones in the order of their declaration, then the others in the
// order they appear. Fails as ExecuteJetQuery does for a statement that
// cannot be bound; reads no row.
HResult ListJetQueryParameters(TableCatalog& catalog, std::string_view sql,
                               std::vector<QueryParameterInfo>& parameters);

}  // namespace tablift::jet
