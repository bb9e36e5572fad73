#pragma once

#include <cstdint>
#include <optional>

#include "data_access/db_types.h"
#include "data_access/jet/file_header.h"
#include "data_access/jet/jet_value.h"
#include "data_access/jet/table_definition.h"

// How the provider reports an Access column in OLE DB terms (see "The Jet
// provider's view of a column" in DESIGN.md): the type rules of CREATE TABLE
// generation are keyed on exactly these DATA_TYPE and COLUMN_FLAGS values.
// What Access 2007 and later added: Large Number is DBTYPE_I8 (precision 19);
// Date/Time Extended is DBTYPE_DBTIMESTAMP with DATETIME_PRECISION 7, its
// values the text "YYYY-MM-DD HH:MM:SS.fffffff"; a complex column
// (Attachment, multi-value, version history) is DBTYPE_I4, its values the
// keys of its rows in the hidden table that JetDatabase::complexValues reads.
namespace tablift::jet {

struct OleDbColumnType {
  std::uint16_t dataType = DBTYPE_WSTR;
  std::uint32_t flags = 0;
  bool nullable = true;
  std::optional<std::uint32_t> characterMaximumLength;
  std::optional<std::uint32_t> characterOctetLength;
  std::optional<std::uint16_t> numericPrecision;
  std::optional<std::int16_t> numericScale;
  std::optional<std::uint32_t> datetimePrecision;
};

// `length`: characters of Text(n), bytes of Binary(n).
OleDbColumnType DescribeColumnType(JetType type, std::uint32_t length, std::uint8_t precision,
                                   std::uint8_t scale, bool required, bool autoNumber);

// The type code a value of the Access type is reported under.
std::uint16_t OleDbTypeOf(JetType type);

// A Text column's length in characters (Jet 4 stores two bytes each), or a
// Binary column's in bytes; 0 for the other types.
std::uint32_t DeclaredLength(const ColumnDefinition& column, JetVersion version);

// The size command rowsets report for long columns, as the Windows provider
// does: Memo in characters, OLE Object in bytes.
inline constexpr std::uint32_t kMemoColumnSize = 536870910;
inline constexpr std::uint32_t kOleColumnSize = 1073741823;

}  // namespace tablift::jet
