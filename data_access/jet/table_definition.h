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

struct TableDefinition {
  std::string name;
  std::vector<ColumnDefinition> columns;  // in the order Access shows them
  std::vector<IndexDefinition> indexes;   // in the order the file keeps them
  std::optional<std::string> description;
  std::uint32_t rowCount = 0;  // as the table definition records it
};

}  // namespace tablift::jet
