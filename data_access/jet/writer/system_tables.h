#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/row_shape.h"

namespace tablift::jet {

// The system tables that every Jet 4 database has, in the order of their
// definition pages (MSysObjects always on page 2).
enum class SystemTable { Objects, AccessControl, Queries, Relationships };
constexpr SystemTable kSystemTables[] = {SystemTable::Objects, SystemTable::AccessControl,
                                         SystemTable::Queries, SystemTable::Relationships};

std::string SystemTableName(SystemTable table);
// The rows of a system table, with the column flags the engine gives them.
RowShape SystemTableShape(SystemTable table);

// MSysObjects: the containers and their ids.
constexpr std::int32_t kRootContainerId = 0x0F000000;
constexpr std::int32_t kTablesContainerId = 0x0F000001;
constexpr std::int32_t kDatabasesContainerId = 0x0F000002;
constexpr std::int32_t kRelationshipsContainerId = 0x0F000003;
constexpr std::int32_t kDatabaseObjectId = 0x10000000;  // MSysDb
constexpr std::int16_t kObjectTypeTable = 1;
constexpr std::int16_t kObjectTypeDatabase = 2;
constexpr std::int16_t kObjectTypeContainer = 3;
constexpr std::int16_t kObjectTypeQuery = 5;
// Objects that are not tables are numbered from here on.
constexpr std::uint32_t kFirstObjectId = 0x80000000u;
constexpr std::int32_t kSystemObjectFlag = static_cast<std::int32_t>(0x80000000u);

// One MSysObjects row.
struct CatalogObjectRow {
  std::int32_t id = 0;
  std::int32_t parentId = 0;
  std::string name;
  std::int16_t type = 0;
  std::int32_t flags = 0;
  bool engineOwned = true;     // owned by the engine rather than the database's creator
  ByteVector properties = {};  // the LvProp blob; none when empty
};

// The MSysObjects rows of an empty database: the containers, MSysDb and the
// system tables (whose ids are their definition pages).
std::vector<CatalogObjectRow> EngineCatalogObjects(
    const std::vector<std::uint32_t>& systemTablePages);
// The MSysObjects row of a user table.
CatalogObjectRow UserTableCatalogObject(std::uint32_t definitionPage, const std::string& name,
                                        ByteVector properties);
// The MSysObjects row of a saved query (kept in the Tables container).
CatalogObjectRow QueryCatalogObject(std::int32_t id, const std::string& name);
// The values of a row of MSysObjects.
std::vector<Value> CatalogRowValues(const CatalogObjectRow& object, double created);

// The MSysACEs rows (object, account, rights, inheritable) of an empty
// database, and those that give a new user table its default permissions.
std::vector<std::vector<Value>> EngineAccessControlRows(
    const std::vector<std::uint32_t>& systemTablePages);
std::vector<std::vector<Value>> UserTableAccessControlRows(std::int32_t objectId);

}  // namespace tablift::jet
