#include "data_access/odbc/odbc_types.h"

#include <sqlext.h>
#include <sqlucode.h>

#include "data_access/db_types.h"

namespace tablift::odbc {

std::uint16_t DbTypeOf(SQLSMALLINT sqlType, bool isUnsigned) {
  switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
      return DBTYPE_STR;
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
      return DBTYPE_WSTR;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return DBTYPE_NUMERIC;
    case SQL_BIT:
      return DBTYPE_BOOL;
    case SQL_TINYINT:
      return isUnsigned ? DBTYPE_UI1 : DBTYPE_I1;
    case SQL_SMALLINT:
      return isUnsigned ? DBTYPE_UI2 : DBTYPE_I2;
    case SQL_INTEGER:
      return isUnsigned ? DBTYPE_UI4 : DBTYPE_I4;
    case SQL_BIGINT:
      return isUnsigned ? DBTYPE_UI8 : DBTYPE_I8;
    case SQL_REAL:
      return DBTYPE_R4;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return DBTYPE_R8;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
      return DBTYPE_BYTES;
    case SQL_TYPE_DATE:
    case SQL_DATE:
      return DBTYPE_DBDATE;
    case SQL_TYPE_TIME:
    case SQL_TIME:
      return DBTYPE_DBTIME;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
      return DBTYPE_DBTIMESTAMP;
    case SQL_GUID:
      return DBTYPE_GUID;
    default:
      return DBTYPE_STR;
  }
}

bool IsBinarySqlType(SQLSMALLINT sqlType) {
  return sqlType == SQL_BINARY || sqlType == SQL_VARBINARY || sqlType == SQL_LONGVARBINARY;
}

bool IsLongSqlType(SQLSMALLINT sqlType) {
  return sqlType == SQL_LONGVARCHAR || sqlType == SQL_WLONGVARCHAR || sqlType == SQL_LONGVARBINARY;
}

bool IsCharacterSqlType(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
      return true;
    default:
      return IsBinarySqlType(sqlType);
  }
}

std::uint32_t ColumnFlagsOf(SQLSMALLINT sqlType, bool nullable) {
  std::uint32_t flags = DBCOLUMNFLAGS_WRITEUNKNOWN;
  if (nullable) flags |= DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
  if (IsLongSqlType(sqlType)) {
    flags |= DBCOLUMNFLAGS_ISLONG;
  } else if (sqlType != SQL_VARCHAR && sqlType != SQL_WVARCHAR && sqlType != SQL_VARBINARY) {
    flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH;
  }
  return flags;
}

}  // namespace tablift::odbc
