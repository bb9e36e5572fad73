#pragma once

#include <string>
#include <vector>

#include "data_access/catalog_rowsets.h"
#include "data_access/jet/table_definition.h"
#include "translate/mysql_names.h"

namespace tablift {

// One column of the table that holds a complex column's values, after the
// parent's key: its name, the Access type its values have and how the
// provider would report such a column (which decides its MySQL type and the
// form of its literals, as for any other column).
struct ComplexValueColumn {
  std::string name;
  jet::JetType type = jet::JetType::Text;
  ColumnRow row;
};

// The value columns by kind:
// - Attachment: FileName, FileType (text), FileData (the bytes), FileURL,
//   FileTimeStamp, FileFlags;
// - multi-value: Value, of the column's value type;
// - version history: Value (the text as it was), Modified (when).
std::vector<ComplexValueColumn> ComplexValueColumns(const jet::ColumnDefinition& column);

// One complex value as the values of those columns, in their order.
std::vector<jet::Value> ComplexRowValues(jet::ComplexKind kind, const jet::ComplexValue& value);

// The Access name of the table that holds the values: the parent's name, "_"
// and the column's (for a version history, the append-only column it keeps
// the history of). The caller spells it with MySqlName like every other name.
std::string ComplexTableAccessName(const std::string& parentTable,
                                   const jet::ColumnDefinition& column);

}  // namespace tablift
