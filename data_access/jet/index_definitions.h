#pragma once

#include <string>
#include <vector>

#include "data_access/jet/table_definition.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

// The indexes of one table as the key migration reads them (where the Windows
// system asks DAO for TableDef.Indexes): each index with its name, its fields
// in key order and its primary, unique and foreign flags, in the order the
// file keeps them. Foreign marks the index that backs a relationship on the
// referencing table. The file is opened on its own, read-only, and closed
// again; `password` is the database password when it has one.
//
// On failure (no such file or table, a damaged file, a wrong password)
// `error` holds the Jet engine's description of it and a failure code is
// returned.
HResult ReadIndexDefinitions(const std::string& path, const std::string& table,
                             std::vector<IndexDefinition>& indexes, std::string& error,
                             const std::string& password = {});

}  // namespace tablift::jet
