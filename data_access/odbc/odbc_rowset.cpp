#include "data_access/odbc/odbc_rowset.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

#include "data_access/ascii_text.h"
#include "data_access/odbc/odbc_types.h"
#include "data_access/schema_rowsets.h"

namespace tablift::odbc {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

void AppendHex(std::string& text, const char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < count; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
}

// GUIDs in the provider's text form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string GuidText(std::string text) {
  text = ToUpperAscii(text);
  if (!text.empty() && text.front() != '{') text = "{" + text + "}";
  return text;
}

}  // namespace

OdbcRowset::OdbcRowset(std::shared_ptr<OdbcConnection> connection, StatementHandle statement)
    : connection_(std::move(connection)),
      statement_(std::move(statement)),
      encoding_(connection_->encoding()) {}

HResult OdbcRowset::describe() {
  if (described_) return S_OK;
  SQLSMALLINT count = 0;
  if (!SQL_SUCCEEDED(SQLNumResultCols(statement_.get(), &count))) {
    connection_->postStatementError(statement_.get(), "Column information failed");
    return E_FAIL;
  }
  std::vector<ColumnInfo> columns;
  std::vector<SQLSMALLINT> types;
  for (SQLUSMALLINT number = 1; number <= count; ++number) {
    SQLCHAR name[512] = {};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
    if (!SQL_SUCCEEDED(SQLDescribeCol(statement_.get(), number, name, sizeof name, &nameLength,
                                      &sqlType, &size, &digits, &nullable))) {
      connection_->postStatementError(statement_.get(), "Column information failed");
      return E_FAIL;
    }
    SQLLEN isUnsigned = SQL_FALSE;
    SQLColAttribute(statement_.get(), number, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);

    ColumnInfo column;
    std::string error;
    const std::string_view rawName(
        reinterpret_cast<const char*>(name),
        std::min<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0), sizeof name - 1));
    if (!encoding_.decode(rawName, column.name, error)) column.name.assign(rawName);
    column.ordinal = number;
    column.type = DbTypeOf(sqlType, isUnsigned == SQL_TRUE);
    column.flags = ColumnFlagsOf(sqlType, nullable != SQL_NO_NULLS);
    column.size = static_cast<std::size_t>(size);
    if (!IsCharacterSqlType(sqlType)) {
      column.precision = static_cast<std::uint8_t>(std::min<SQLULEN>(size, 255));
      column.scale = static_cast<std::uint8_t>(std::clamp<SQLSMALLINT>(digits, 0, 255));
    }
    columns.push_back(std::move(column));
    types.push_back(sqlType);
  }
  columns_ = std::move(columns);
  sqlTypes_ = std::move(types);
  described_ = true;
  return S_OK;
}

HResult OdbcRowset::columnInfo(std::vector<ColumnInfo>& columns) {
  const HResult result = describe();
  if (Failed(result)) return result;
  columns = columns_;
  return S_OK;
}

HResult OdbcRowset::readColumn(std::size_t index, ColumnValue& value) {
  const SQLSMALLINT sqlType = sqlTypes_[index];
  value = ColumnValue{};
  if (sqlType == SQL_BIT) {
    // As a character value MariaDB's driver hands over the bit's raw byte;
    // read the bit itself and give it the text form of a boolean.
    SQLCHAR bit = 0;
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement_.get(), static_cast<SQLUSMALLINT>(index + 1), SQL_C_BIT,
                                  &bit, sizeof bit, &indicator))) {
      connection_->postStatementError(statement_.get(),
                                      "Reading column " + columns_[index].name + " failed");
      return DB_E_ERRORSOCCURRED;
    }
    if (indicator == SQL_NULL_DATA) return S_OK;
    value = ColumnValue{bit != 0 ? kTrueText : kFalseText, false};
    return S_OK;
  }
  const bool binary = IsBinarySqlType(sqlType);
  const SQLSMALLINT cType = binary ? SQL_C_BINARY : SQL_C_CHAR;
  // Text chunks end in a terminator that is not part of the value.
  const std::size_t capacity = binary ? chunk_.size() : chunk_.size() - 1;
  const auto column = static_cast<SQLUSMALLINT>(index + 1);
  std::string bytes;
  for (bool first = true;; first = false) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement_.get(), column, cType, chunk_.data(),
                                    static_cast<SQLLEN>(chunk_.size()), &indicator);
    if (rc == SQL_NO_DATA && !first) break;
    if (!SQL_SUCCEEDED(rc)) {
      connection_->postStatementError(statement_.get(),
                                      "Reading column " + columns_[index].name + " failed");
      return DB_E_ERRORSOCCURRED;
    }
    if (indicator == SQL_NULL_DATA) return S_OK;
    const std::size_t got =
        indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > capacity
            ? capacity
            : static_cast<std::size_t>(indicator);
    if (binary) {
      AppendHex(bytes, chunk_.data(), got);
    } else {
      bytes.append(chunk_.data(), got);
    }
    if (rc == SQL_SUCCESS) break;
  }
  value.null = false;
  if (binary) {
    value.text = std::move(bytes);
    return S_OK;
  }
  std::string error;
  if (!encoding_.decode(bytes, value.text, error)) {
    PostProviderError("Column " + columns_[index].name + ": " + error);
    value = ColumnValue{};
    return DB_E_CANTCONVERTVALUE;
  }
  if (sqlType == SQL_GUID) value.text = GuidText(std::move(value.text));
  return S_OK;
}

HResult OdbcRowset::nextRow() {
  rowHeld_ = false;
  HResult result = describe();
  if (Failed(result)) return result;
  const SQLRETURN rc = SQLFetch(statement_.get());
  if (rc == SQL_NO_DATA) return DB_S_ENDOFROWSET;
  if (!SQL_SUCCEEDED(rc)) {
    connection_->postStatementError(statement_.get(), "Fetching a row failed");
    return E_FAIL;
  }
  if (chunk_.empty()) chunk_.resize(kChunkSize);
  row_.resize(columns_.size());
  for (std::size_t index = 0; index < columns_.size(); ++index) {
    result = readColumn(index, row_[index]);
    if (Failed(result)) return result;
  }
  rowHeld_ = true;
  return S_OK;
}

HResult OdbcRowset::value(std::size_t ordinal, ColumnValue& value) {
  if (!rowHeld_) return DB_E_BADROWHANDLE;
  if (ordinal == 0 || ordinal > row_.size()) {
    PostProviderError("There is no column " + std::to_string(ordinal));
    return DB_E_BADORDINAL;
  }
  value = row_[ordinal - 1];
  return S_OK;
}

}  // namespace tablift::odbc
