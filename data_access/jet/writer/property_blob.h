#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/table_design.h"

namespace tablift::jet {

// One property as Access keeps it: its name, the Jet type of its value, and
// whether it belongs to the table's design (DDL) rather than to its display.
struct PropertyEntry {
  std::string name;
  JetType type = JetType::Text;
  bool ddl = true;
  ByteVector value;
};

// The properties of the object itself (empty name) or of one of its columns.
struct PropertyGroup {
  std::string objectName;
  std::vector<PropertyEntry> entries;
};

// The "MR2" blob that MSysObjects.LvProp holds: a chunk listing every
// property name once, then one chunk per group whose entries refer to the
// names by position.
ByteVector BuildPropertyBlob(const std::vector<PropertyGroup>& groups);

// The design properties of a table: its Description, and for each column
// Required (always, as Access records it), DefaultValue and Description when
// given.
ByteVector TableDesignProperties(const TableDesign& design);

}  // namespace tablift::jet
