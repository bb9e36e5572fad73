#pragma once

#include "data_access/jet/libmdb.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data_access/jet/libmdb_database.h"
#include "data_access/jet/table_definition.h"
#include "data_access/jet/table_layout.h"

namespace tablift::jet {

// MSysObjects, read once when the reader process starts, with the property
// blobs of the tables (for Description, DefaultValue, Required). Reader
// process side.
class SystemCatalog {
 public:
  bool load(LibmdbDatabase& database, std::string& problem);

  const std::vector<CatalogObject>& objects() const { return objects_; }
  // The table (or system table) of that name, compared without regard to
  // case; an exact match wins. Null when there is none.
  const CatalogObject* findTable(const std::string& name) const;
  // The raw LvProp blob of a table; empty when it has none.
  const std::vector<std::uint8_t>& properties(const CatalogObject& table) const;
  // The page of a table's definition.
  static std::uint32_t definitionPage(const CatalogObject& table) {
    return static_cast<std::uint32_t>(table.id) & 0x00FFFFFF;
  }
  // The catalog entry libmdb reads a table through; lives as long as this.
  MdbCatalogEntry& entry(LibmdbDatabase& database, const CatalogObject& table);

 private:
  std::vector<CatalogObject> objects_;
  std::map<std::int32_t, std::vector<std::uint8_t>> properties_;
  std::map<std::uint32_t, std::unique_ptr<MdbCatalogEntry>> entries_;
};

// A catalog entry for the table whose definition starts at `page`.
std::unique_ptr<MdbCatalogEntry> MakeCatalogEntry(LibmdbDatabase& database, const std::string& name,
                                                  std::uint32_t page);

}  // namespace tablift::jet
