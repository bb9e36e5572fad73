#include "data_access/jet/writer/system_tables.h"

#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

// Access's accounts are recorded as short security ids. These are the ones
// an empty database made by the Jet 4 engine carries: the engine itself, the
// creating user, and the Admins and Users groups.
const Bytes kEngineAccount{{0x06, 0xEA}};
const Bytes kCreatorAccount{{0x07, 0xE8}};
const Bytes kAdminsGroup{{0x06, 0xED}};
const Bytes kUsersGroup{{0x06, 0xE8}};

// The engine marks the security id columns with a flag of their own.
constexpr std::uint8_t kAccountColumnFlag = 0x20;

ColumnDesign Column(const char* name, JetType type, std::uint16_t size = 0) {
  ColumnDesign column;
  column.name = name;
  column.type = type;
  column.size = size;
  return column;
}

TableDesign SystemTableDesign(SystemTable table) {
  switch (table) {
    case SystemTable::Objects:
      return {
          "MSysObjects",
          {Column("Id", JetType::Long), Column("ParentId", JetType::Long),
           Column("Name", JetType::Text, 255), Column("Type", JetType::Integer),
           Column("DateCreate", JetType::DateTime), Column("DateUpdate", JetType::DateTime),
           Column("Owner", JetType::Binary, 510), Column("Flags", JetType::Long),
           Column("Database", JetType::Memo), Column("Connect", JetType::Memo),
           Column("ForeignName", JetType::Text, 255), Column("RmtInfoShort", JetType::Binary, 510),
           Column("RmtInfoLong", JetType::OleObject), Column("Lv", JetType::OleObject),
           Column("LvProp", JetType::OleObject), Column("LvModule", JetType::OleObject),
           Column("LvExtra", JetType::OleObject)},
          std::nullopt};
    case SystemTable::AccessControl:
      return {"MSysACEs",
              {Column("ObjectId", JetType::Long), Column("SID", JetType::Binary, 510),
               Column("ACM", JetType::Long), Column("FInheritable", JetType::Boolean)},
              std::nullopt};
    case SystemTable::Queries:
      return {"MSysQueries",
              {Column("ObjectId", JetType::Long), Column("Attribute", JetType::Byte),
               Column("Order", JetType::Binary, 510), Column("Name1", JetType::Text, 255),
               Column("Name2", JetType::Text, 255), Column("Expression", JetType::Memo),
               Column("Flag", JetType::Integer), Column("LvExtra", JetType::Long)},
              std::nullopt};
    case SystemTable::Relationships:
      return {"MSysRelationships",
              {Column("szRelationship", JetType::Text, 255), Column("grbit", JetType::Long),
               Column("ccolumn", JetType::Long), Column("icolumn", JetType::Long),
               Column("szObject", JetType::Text, 255), Column("szColumn", JetType::Text, 255),
               Column("szReferencedObject", JetType::Text, 255),
               Column("szReferencedColumn", JetType::Text, 255)},
              std::nullopt};
  }
  return {};
}

std::vector<Value> AccessControlRow(std::int64_t objectId, const Bytes& account,
                                    std::int64_t rights, bool inheritable) {
  return {objectId, account, rights, inheritable};
}

}  // namespace

std::string SystemTableName(SystemTable table) {
  return SystemTableDesign(table).name;
}

RowShape SystemTableShape(SystemTable table) {
  RowShape shape;
  // The designs above are fixed and valid.
  ShapeRows(SystemTableDesign(table), shape);
  for (ColumnSlot& column : shape.columns) {
    if (column.name == "Owner" || column.name == "SID") column.flags |= kAccountColumnFlag;
  }
  return shape;
}

std::vector<CatalogObjectRow> EngineCatalogObjects(
    const std::vector<std::uint32_t>& systemTablePages) {
  std::vector<CatalogObjectRow> objects = {
      {kTablesContainerId, kRootContainerId, "Tables", kObjectTypeContainer, kSystemObjectFlag,
       true},
      {kDatabasesContainerId, kRootContainerId, "Databases", kObjectTypeContainer,
       kSystemObjectFlag, true},
      {kRelationshipsContainerId, kRootContainerId, "Relationships", kObjectTypeContainer,
       kSystemObjectFlag, true},
      {kDatabaseObjectId, kDatabasesContainerId, "MSysDb", kObjectTypeDatabase, kSystemObjectFlag,
       false},
  };
  for (std::size_t i = 0; i < systemTablePages.size(); ++i) {
    objects.push_back({static_cast<std::int32_t>(systemTablePages[i]), kTablesContainerId,
                       SystemTableName(kSystemTables[i]), kObjectTypeTable, kSystemObjectFlag,
                       true});
  }
  return objects;
}

CatalogObjectRow UserTableCatalogObject(std::uint32_t definitionPage, const std::string& name,
                                        ByteVector properties) {
  return {static_cast<std::int32_t>(definitionPage),
          kTablesContainerId,
          name,
          kObjectTypeTable,
          0,
          false,
          std::move(properties)};
}

CatalogObjectRow QueryCatalogObject(std::int32_t id, const std::string& name) {
  return {id, kTablesContainerId, name, kObjectTypeQuery, 0, false};
}

std::vector<Value> CatalogRowValues(const CatalogObjectRow& object, double created) {
  std::vector<Value> values(SystemTableShape(SystemTable::Objects).columns.size(), Null{});
  values[0] = std::int64_t{object.id};
  values[1] = std::int64_t{object.parentId};
  values[2] = object.name;
  values[3] = std::int64_t{object.type};
  values[4] = DateTime{created};
  values[5] = DateTime{created};
  values[6] = object.engineOwned ? kEngineAccount : kCreatorAccount;
  values[7] = std::int64_t{object.flags};
  if (!object.properties.empty()) values[14] = Bytes{object.properties};
  return values;
}

std::vector<std::vector<Value>> EngineAccessControlRows(
    const std::vector<std::uint32_t>& systemTablePages) {
  const std::int64_t objects = systemTablePages.at(0);
  const std::int64_t aces = systemTablePages.at(1);
  const std::int64_t queries = systemTablePages.at(2);
  const std::int64_t relationships = systemTablePages.at(3);
  return {
      AccessControlRow(objects, kCreatorAccount, 393216, false),
      AccessControlRow(aces, kCreatorAccount, 393216, false),
      AccessControlRow(queries, kCreatorAccount, 393216, false),
      AccessControlRow(relationships, kCreatorAccount, 917504, false),
      AccessControlRow(kTablesContainerId, kAdminsGroup, 983294, true),
      AccessControlRow(kTablesContainerId, kCreatorAccount, 393217, false),
      AccessControlRow(kRelationshipsContainerId, kAdminsGroup, 983294, true),
      AccessControlRow(kRelationshipsContainerId, kCreatorAccount, 393217, false),
      AccessControlRow(kDatabasesContainerId, kCreatorAccount, 393216, false),
      AccessControlRow(kDatabaseObjectId, kCreatorAccount, 393230, false),
      AccessControlRow(kDatabaseObjectId, kUsersGroup, 14, false),
      AccessControlRow(queries, kUsersGroup, 20, false),
      AccessControlRow(relationships, kUsersGroup, 20, false),
      AccessControlRow(objects, kUsersGroup, 20, false),
      AccessControlRow(kTablesContainerId, kUsersGroup, 1048319, true),
      AccessControlRow(kRelationshipsContainerId, kUsersGroup, 1048575, true),
  };
}

std::vector<std::vector<Value>> UserTableAccessControlRows(std::int32_t objectId) {
  // Full rights on table data and design for the creator and the Users group.
  constexpr std::int64_t kAllTableRights = 1048319;
  return {AccessControlRow(objectId, kCreatorAccount, kAllTableRights, false),
          AccessControlRow(objectId, kUsersGroup, kAllTableRights, false)};
}

}  // namespace tablift::jet
