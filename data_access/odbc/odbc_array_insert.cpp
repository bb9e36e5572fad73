#include "data_access/odbc/odbc_array_insert.h"

#include <sqlext.h>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tablift::odbc {

HResult OdbcArrayInsert::Prepare(const std::shared_ptr<OdbcConnection>& connection,
                                 std::string_view sql, const ArrayInsertShape& shape,
                                 std::unique_ptr<ProviderArrayInsert>& insert) {
  insert.reset();
  const std::size_t columns = shape.columns;
  const std::size_t rowsPerStatement = shape.rowsPerStatement;
  if (columns == 0 || rowsPerStatement == 0) {
    PostProviderError("An array insert needs at least one parameter");
    return E_INVALIDARG;
  }
  if (columns * rowsPerStatement > kMaxStatementParameters) {
    PostProviderError("A statement takes at most " + std::to_string(kMaxStatementParameters) +
                      " parameters");
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
  insert = std::make_unique<OdbcArrayInsert>(connection, std::move(statement), shape);
  return S_OK;
}

namespace {

// The parameter arrays of one batch: for each column, every row's value at a
// fixed stride, with its length (SQL_NULL_DATA for NULL).
class StagedColumns : public StagedParameters {
 public:
  using Column = OdbcArrayInsert::ColumnSlots;

  std::vector<Column> columns;
  std::size_t rows = 0;
  // A column's values in the connection's character set, one after the
  // other, before they are spread over its array.
  std::string encoded;
  std::vector<std::size_t> ends;
};

// The rows of a batch that are laid out, and where each goes. A statement of
// several rows runs for each group of that many rows in turn, each of its
// parameters taking its values from an array of one slot per group: row r
// of the batch lies in slot (r % perGroup) * groups + r / perGroup, where the
// statement's parameter of row r % perGroup finds it. With one row per
// statement (arrays) or one group, that is row r's own slot.
struct RowLayout {
  const ParameterRows& rows;
  // The first rows laid out: a whole multiple of perGroup.
  std::size_t count;
  std::size_t perGroup;
  std::size_t slot(std::size_t row) const {
    return (row % perGroup) * (count / perGroup) + row / perGroup;
  }
};

// Lays out a column whose every value has a fixed-size C form: `convert`
// turns the text of each value that is not NULL into it.
template <typename Value, typename Convert>
void StageFixedSize(const RowLayout& layout, std::size_t column, SQLSMALLINT cType,
                    StagedColumns::Column& array, Convert convert) {
  array.cType = cType;
  array.width = sizeof(Value);
  array.buffer.resize(sizeof(Value) * layout.count);
  for (std::size_t row = 0; row < layout.count; ++row) {
    if (layout.rows.kind(row, column) == ParameterRows::Kind::Null) continue;
    const Value value = convert(layout.rows.data(row, column));
    const std::size_t slot = layout.slot(row);
    std::memcpy(array.buffer.data() + slot * sizeof(Value), &value, sizeof(Value));
    array.lengths[slot] = static_cast<SQLLEN>(sizeof(Value));
  }
}

// A column whose values are all whole numbers travels as numbers: the server
// stores them without reading text.
void StageIntegers(const RowLayout& layout, std::size_t column, StagedColumns::Column& array) {
  StageFixedSize<SQLBIGINT>(layout, column, SQL_C_SBIGINT, array, [](std::string_view text) {
    // A text IsParameterInteger accepted.
    SQLBIGINT value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
  });
}

// A column whose values are all dates travels as dates: the server stores
// them without reading text, about a seventh of its work on a MyISAM table of
// two date columns among nine.
void StageDates(const RowLayout& layout, std::size_t column, StagedColumns::Column& array) {
  StageFixedSize<SQL_TIMESTAMP_STRUCT>(
      layout, column, SQL_C_TYPE_TIMESTAMP, array, [](std::string_view text) {
        // A text IsParameterDateTime accepted.
        const ParameterDateTime parts = ParameterDateTimeParts(text);
        return SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(parts.year),
                                    static_cast<SQLUSMALLINT>(parts.month),
                                    static_cast<SQLUSMALLINT>(parts.day),
                                    static_cast<SQLUSMALLINT>(parts.hour),
                                    static_cast<SQLUSMALLINT>(parts.minute),
                                    static_cast<SQLUSMALLINT>(parts.second),
                                    0};
      });
}

// Whether every date of a column may travel as the number YYYYMMDDhhmmss: the
// server reads a number of twelve digits or fewer as a date of a two-digit
// year (10102030405 is 2001-01-02 03:04:05), so only years from 1000 on go
// this way.
bool DatesFitNumbers(const RowLayout& layout, std::size_t column) {
  const ParameterRows& rows = layout.rows;
  for (std::size_t row = 0; row < layout.count; ++row) {
    if (rows.kind(row, column) != ParameterRows::Kind::Null && rows.data(row, column)[0] == '0') {
      return false;
    }
  }
  return true;
}

void StageDateNumbers(const RowLayout& layout, std::size_t column, StagedColumns::Column& array) {
  StageFixedSize<SQLBIGINT>(layout, column, SQL_C_SBIGINT, array, [](std::string_view text) {
    // A text IsParameterDateTime accepted.
    const ParameterDateTime parts = ParameterDateTimeParts(text);
    const SQLBIGINT day = (parts.year * 100LL + parts.month) * 100 + parts.day;
    return (day * 100 + parts.hour) * 10000 + parts.minute * 100 + parts.second;
  });
}

// How the dates of a column may travel besides text. A date column bound for
// a DATETIME column travels best as numbers, which the server stores without
// reading text (about a tenth less of its work on an InnoDB table of two
// date columns among nine) and the driver passes on as they are. Next best
// are dates, which the server stores without reading text too, but only in a
// statement's own parameters run once: MariaDB Connector/ODBC 3.1 keeps every
// date of a parameter array in memory it never frees (about 90 MB for a
// million rows of two date columns).
struct DateForms {
  bool numbers = false;
  bool timestamps = false;
};

// Fills one column's array; false with `error` when a text does not fit the
// character set.
bool StageColumn(const RowLayout& layout, std::size_t column, const TextEncoding& encoding,
                 DateForms dates, StagedColumns& staged, std::string& error) {
  const ParameterRows& rows = layout.rows;
  const std::size_t count = layout.count;
  StagedColumns::Column& array = staged.columns[column];
  array.lengths.assign(count, SQL_NULL_DATA);
  const ParameterRows::Kind common = rows.commonKind(column);
  if (common == ParameterRows::Kind::Integer) {
    StageIntegers(layout, column, array);
    return true;
  }
  if (common == ParameterRows::Kind::DateTime) {
    if (dates.numbers && DatesFitNumbers(layout, column)) {
      StageDateNumbers(layout, column, array);
      return true;
    }
    if (dates.timestamps) {
      StageDates(layout, column, array);
      return true;
    }
  }
  array.cType = rows.holdsBytes(column) ? SQL_C_BINARY : SQL_C_CHAR;
  staged.encoded.clear();
  staged.ends.clear();
  std::size_t width = 1;
  for (std::size_t row = 0; row < count; ++row) {
    const std::size_t begin = staged.encoded.size();
    const ParameterRows::Kind kind = rows.kind(row, column);
    if (kind == ParameterRows::Kind::Bytes) {
      staged.encoded += rows.data(row, column);
    } else if (kind != ParameterRows::Kind::Null &&
               !encoding.encodeAppending(rows.data(row, column), staged.encoded, error)) {
      return false;
    }
    staged.ends.push_back(staged.encoded.size());
    if (kind == ParameterRows::Kind::Null) continue;
    array.lengths[layout.slot(row)] = static_cast<SQLLEN>(staged.encoded.size() - begin);
    width = std::max(width, staged.encoded.size() - begin);
  }
  array.width = width;
  array.buffer.resize(width * count);
  for (std::size_t row = 0; row < count; ++row) {
    const std::size_t begin = row == 0 ? 0 : staged.ends[row - 1];
    if (staged.ends[row] > begin) {
      std::memcpy(array.buffer.data() + layout.slot(row) * width, staged.encoded.data() + begin,
                  staged.ends[row] - begin);
    }
  }
  return true;
}

}  // namespace

HResult OdbcArrayInsert::stage(const ParameterRows& rows, std::size_t count,
                               std::unique_ptr<StagedParameters>& staged) {
  if (rows.columnCount() != columns_ || count > rows.rowCount() || count % rowsPerStatement_ != 0) {
    PostProviderError("The values do not fill the rows");
    return E_INVALIDARG;
  }
  auto* columns = dynamic_cast<StagedColumns*>(staged.get());
  if (columns == nullptr) {
    staged = std::make_unique<StagedColumns>();
    columns = static_cast<StagedColumns*>(staged.get());
  }
  columns->columns.resize(columns_);
  columns->rows = count;
  const TextEncoding encoding = connection_->encoding();
  std::string error;
  for (std::size_t column = 0; column < columns_; ++column) {
    const DateForms dates{column < dateTimeTargets_.size() && dateTimeTargets_[column],
                          rowsPerStatement_ > 1 && count == rowsPerStatement_};
    if (!StageColumn(RowLayout{rows, count, rowsPerStatement_}, column, encoding, dates, *columns,
                     error)) {
      columns->rows = 0;
      PostProviderError(error);
      return DB_E_CANTCONVERTVALUE;
    }
  }
  return S_OK;
}

namespace {

// "YYYY-MM-DD hh:mm:ss": a timestamp's column size without fractions.
constexpr SQLULEN kDateTimeDigits = 19;

// The SQL type a column's values are bound as, and its size.
SQLSMALLINT BoundSqlType(const OdbcArrayInsert::ColumnSlots& column, SQLULEN& size) {
  size = column.width;
  switch (column.cType) {
    case SQL_C_BINARY:
      return SQL_LONGVARBINARY;
    case SQL_C_SBIGINT:
      size = 0;
      return SQL_BIGINT;
    case SQL_C_TYPE_TIMESTAMP:
      size = kDateTimeDigits;
      return SQL_TYPE_TIMESTAMP;
    default:
      // Text the server reads in the connection's character set, as it
      // reads statement text.
      return SQL_LONGVARCHAR;
  }
}

}  // namespace

HResult OdbcArrayInsert::execute(const StagedParameters& staged) {
  const auto* columns = dynamic_cast<const StagedColumns*>(&staged);
  if (columns == nullptr || columns->columns.size() != columns_) {
    PostProviderError("The values were not staged for this statement");
    return E_INVALIDARG;
  }
  if (columns->rows == 0) return S_OK;
  if (rowsPerStatement_ > 1) return executeRows(columns->columns, columns->rows);
  return executeArrays(columns->columns, columns->rows);
}

HResult OdbcArrayInsert::executeArrays(const std::vector<ColumnSlots>& columns, std::size_t rows) {
  const SQLHSTMT handle = statement_.get();
  for (std::size_t column = 0; column < columns_; ++column) {
    const ColumnSlots& array = columns[column];
    SQLULEN size = 0;
    const SQLSMALLINT sqlType = BoundSqlType(array, size);
    // The driver only reads the arrays.
    if (!SQL_SUCCEEDED(SQLBindParameter(
            handle, static_cast<SQLUSMALLINT>(column + 1), SQL_PARAM_INPUT, array.cType, sqlType,
            size, 0, const_cast<char*>(array.buffer.data()), static_cast<SQLLEN>(array.width),
            const_cast<SQLLEN*>(array.lengths.data())))) {
      connection_->postStatementError(handle, "Binding the values failed");
      return DB_E_ERRORSINCOMMAND;
    }
  }
  if (!SQL_SUCCEEDED(SQLSetStmtAttr(handle, SQL_ATTR_PARAMSET_SIZE,
                                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(rows)), 0))) {
    connection_->postStatementError(handle, "Setting the array size failed");
    return DB_E_ERRORSINCOMMAND;
  }
  return run();
}

HResult OdbcArrayInsert::executeRows(const std::vector<ColumnSlots>& columns, std::size_t rows) {
  if (rows % rowsPerStatement_ != 0) {
    PostProviderError("The values do not fill the statement's rows");
    return E_INVALIDARG;
  }
  // The parameters of row r of the statement take their values from slots
  // r * groups on (see RowLayout).
  const std::size_t groups = rows / rowsPerStatement_;
  const SQLHSTMT handle = statement_.get();
  bound_.resize(columns_);
  for (std::size_t column = 0; column < columns_; ++column) {
    const ColumnSlots& from = columns[column];
    ColumnSlots& to = bound_[column];
    // A column is bound again when its values outgrow their slots, or fill
    // less than half of them (so that one long value does not keep its
    // memory for the rest of the table).
    if (groups != boundGroups_ || to.buffer.empty() || to.cType != from.cType ||
        to.width < from.width || to.width / 2 > from.width) {
      to.width = from.width;
      to.cType = from.cType;
      // New vectors rather than assign(), which would keep the old capacity.
      to.buffer = std::vector<char>(to.width * rows);
      to.lengths = std::vector<SQLLEN>(rows, SQL_NULL_DATA);
      SQLULEN size = 0;
      const SQLSMALLINT sqlType = BoundSqlType(to, size);
      for (std::size_t row = 0; row < rowsPerStatement_; ++row) {
        const auto number = static_cast<SQLUSMALLINT>(row * columns_ + column + 1);
        const std::size_t first = row * groups;
        if (!SQL_SUCCEEDED(SQLBindParameter(handle, number, SQL_PARAM_INPUT, to.cType, sqlType,
                                            size, 0, to.buffer.data() + first * to.width,
                                            static_cast<SQLLEN>(to.width), &to.lengths[first]))) {
          to.buffer.clear();
          boundGroups_ = 0;
          connection_->postStatementError(handle, "Binding the values failed");
          return DB_E_ERRORSINCOMMAND;
        }
      }
    }
    // The values were staged in the slots' order.
    std::copy(from.lengths.begin(), from.lengths.end(), to.lengths.begin());
    if (to.width == from.width) {
      std::memcpy(to.buffer.data(), from.buffer.data(), from.width * rows);
    } else {
      for (std::size_t slot = 0; slot < rows; ++slot) {
        std::memcpy(to.buffer.data() + slot * to.width, from.buffer.data() + slot * from.width,
                    from.width);
      }
    }
  }
  boundGroups_ = groups;
  if (!SQL_SUCCEEDED(SQLSetStmtAttr(handle, SQL_ATTR_PARAMSET_SIZE,
                                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(groups)),
                                    0))) {
    connection_->postStatementError(handle, "Setting the array size failed");
    return DB_E_ERRORSINCOMMAND;
  }
  return run();
}

HResult OdbcArrayInsert::run() {
  const SQLHSTMT handle = statement_.get();
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
