#pragma once

#include <sql.h>

#include <cstdint>

namespace tablift::odbc {

// The OLE DB type code (DBType) the ODBC provider reports for an ODBC SQL
// type, as MSDASQL maps them (signed TINYINT is DBTYPE_I1, unsigned UI1; long
// and short text alike are DBTYPE_STR, wide text DBTYPE_WSTR).
std::uint16_t DbTypeOf(SQLSMALLINT sqlType, bool isUnsigned);

// Binary types are read as bytes and handed on as hexadecimal digits.
bool IsBinarySqlType(SQLSMALLINT sqlType);
bool IsLongSqlType(SQLSMALLINT sqlType);
bool IsCharacterSqlType(SQLSMALLINT sqlType);

// DBCOLUMNFLAGS for a column of the type.
std::uint32_t ColumnFlagsOf(SQLSMALLINT sqlType, bool nullable);

}  // namespace tablift::odbc
