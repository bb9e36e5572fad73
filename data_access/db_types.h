#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tablift {

// Type codes of column values, numbered as OLE DB numbers them, because the
// type rules of CREATE TABLE generation and backups are written in them.
enum DBType : std::uint16_t {
  DBTYPE_EMPTY = 0,
  DBTYPE_NULL = 1,
  DBTYPE_I2 = 2,
  DBTYPE_I4 = 3,
  DBTYPE_R4 = 4,
  DBTYPE_R8 = 5,
  DBTYPE_CY = 6,
  DBTYPE_DATE = 7,
  DBTYPE_BSTR = 8,
  DBTYPE_BOOL = 11,
  DBTYPE_VARIANT = 12,
  DBTYPE_DECIMAL = 14,
  DBTYPE_I1 = 16,
  DBTYPE_UI1 = 17,
  DBTYPE_UI2 = 18,
  DBTYPE_UI4 = 19,
  DBTYPE_I8 = 20,
  DBTYPE_UI8 = 21,
  DBTYPE_GUID = 72,
  DBTYPE_BYTES = 128,
  DBTYPE_STR = 129,
  DBTYPE_WSTR = 130,
  DBTYPE_NUMERIC = 131,
  DBTYPE_DBDATE = 133,
  DBTYPE_DBTIME = 134,
  DBTYPE_DBTIMESTAMP = 135,
};

// Column flags (DBCOLUMNFLAGS_*), as the column information and the COLUMNS
// catalog report them.
enum ColumnFlag : std::uint32_t {
  DBCOLUMNFLAGS_ISBOOKMARK = 0x1,
  DBCOLUMNFLAGS_MAYDEFER = 0x2,
  DBCOLUMNFLAGS_WRITE = 0x4,
  DBCOLUMNFLAGS_WRITEUNKNOWN = 0x8,
  DBCOLUMNFLAGS_ISFIXEDLENGTH = 0x10,
  DBCOLUMNFLAGS_ISNULLABLE = 0x20,
  DBCOLUMNFLAGS_MAYBENULL = 0x40,
  DBCOLUMNFLAGS_ISLONG = 0x80,
  DBCOLUMNFLAGS_ISROWID = 0x100,
  DBCOLUMNFLAGS_ISROWVER = 0x200,
  DBCOLUMNFLAGS_CACHEDEFERRED = 0x1000,
};

// The status a text slot carries for its value.
enum ValueStatus : std::uint32_t {
  DBSTATUS_S_OK = 0,
  DBSTATUS_S_ISNULL = 3,
  DBSTATUS_S_TRUNCATED = 4,
};

// What a rowset says about one of its columns.
struct ColumnInfo {
  std::string name;
  std::size_t ordinal = 0;  // counted from 1
  std::uint16_t type = DBTYPE_STR;
  std::uint32_t flags = 0;
  std::size_t size = 0;  // characters for text, bytes for binary, digits for numbers
  std::uint8_t precision = 0;
  std::uint8_t scale = 0;
};

// One value of the current row in the provider's text form, whole. An SQL NULL
// has `null` set and an empty text.
struct ColumnValue {
  std::string text;
  bool null = true;
};

}  // namespace tablift
