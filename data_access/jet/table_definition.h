#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/jet_value.h"

// What the reader process tells about the objects of a database: the rows of
// MSysObjects and the definitions of tables. Plain data, so that it can travel
// between the processes and be tested on its own.
namespace tablift::jet {

// Values of MSysObjects' Type column that the provider lists. (Forms, reports,
// macros and modules have negative types with the high bit set.)
enum ObjectType : std::int32_t {
  kObjectTable = 1,
  kObjectOdbcLinkedTable = 4,
  kObjectQuery = 5,
  kObjectLinkedTable = 6,
};

// One row of MSysObjects.
struct CatalogObject {
  std::int32_t id = 0;
  std::int32_t parentId = 0;
  std::string name;
  std::int32_t type = 0;
  std::uint32_t flags = 0;
  double created = 0;  // Access dates (days since 1899-12-30)
  double updated = 0;
};

// What the values of an ACE complex column are. Each lives in a hidden table
// of its own, keyed by the Long the parent row holds in the column.
enum class ComplexKind : std::uint8_t {
  None = 0,
  Attachment = 1,      // files: name, type, data, URL, time stamp, flags
  MultiValue = 2,      // several values of one type (a multi-value lookup)
  VersionHistory = 3,  // the earlier texts of an append-only Long Text
};

struct ColumnDefinition {
  std::string name;
  JetType type = JetType::Text;
  std::uint32_t storedSize = 0;  // bytes in the row (Jet 4 text: two per character)
  std::uint8_t precision = 0;    // Decimal
  std::uint8_t scale = 0;        // Decimal
  bool fixedLength = false;
  bool autoNumber = false;                  // Long filled by the engine
  bool autoGuid = false;                    // Replication ID filled by the engine
  bool required = false;                    // the "Required" property
  bool allowZeroLength = false;             // the "AllowZeroLength" property
  std::optional<std::string> defaultValue;  // the "DefaultValue" property, verbatim
  std::optional<std::string> description;   // the "Description" property
  // Access 2010 and later: a column whose values Access computes from the
  // expression; the file keeps the last computed value of every row.
  bool calculated = false;
  std::optional<std::string> expression;  // the "Expression" property
  bool hyperlink = false;                 // a Long Text column holding hyperlinks
  bool richText = false;                  // Long Text as HTML ("TextFormat" 1)
  bool compressedText = false;            // the "UnicodeCompression" property
  bool appendOnly = false;                // Long Text that keeps its history
  // Complex columns (type Complex): their kind, and for a multi-value column
  // the type of its values. A version history column names the append-only
  // column whose history it keeps.
  ComplexKind complexKind = ComplexKind::None;
  std::uint32_t complexId = 0;  // MSysComplexColumns' ComplexID
  JetType complexValueType = JetType::Text;
  std::string versionedColumn;
};

struct IndexColumn {
  std::string name;
  bool ascending = true;
};

struct IndexDefinition {
  std::string name;
  bool primaryKey = false;
  bool unique = false;
  // The index that backs a relationship on the referencing side (DAO's
  // Index.Foreign); the referenced side's hidden indexes are not listed.
  bool foreign = false;
  bool ignoreNulls = false;
  bool required = false;             // nulls not allowed
  std::vector<IndexColumn> columns;  // in key order
};

// One value of a complex column, with the key of the parent row it belongs
// to (the parent's value in the column).
struct ComplexValue {
  std::int64_t key = 0;
  // Multi-value: the value. Version history: the text as it was then.
  Value value;
  std::optional<DateTime> modified;  // version history: when it was written
  // Attachment: the file, its bytes decompressed where Access compressed
  // them.
  std::string fileName;
  std::string fileType;  // the name's ending, as Access keeps it
  Bytes fileData;
  std::optional<std::string> fileUrl;
  std::optional<DateTime> fileTimeStamp;
  std::optional<std::int64_t> fileFlags;
};

struct TableDefinition {
  std::string name;
  std::vector<ColumnDefinition> columns;  // in the order Access shows them
  std::vector<IndexDefinition> indexes;   // in the order the file keeps them
  std::optional<std::string> description;
  std::uint32_t rowCount = 0;  // as the table definition records it
};

}  // namespace tablift::jet
