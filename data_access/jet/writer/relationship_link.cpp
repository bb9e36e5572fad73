#include "data_access/jet/writer/relationship_link.h"

#include <set>

#include "data_access/ascii_text.h"
#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

WriteStatus Invalid(const std::string& message) {
  return WriteStatus::Failure(WriteError::InvalidDesign, message);
}

bool FindColumns(const TableWriter& table, const std::vector<std::string>& names,
                 std::vector<IndexKeyColumn>& columns, std::string& missing) {
  columns.clear();
  for (const std::string& name : names) {
    const ColumnSlot* found = nullptr;
    for (const ColumnSlot& column : table.shape().columns) {
      if (EqualsIgnoreCase(column.name, name)) found = &column;
    }
    if (found == nullptr) {
      missing = name;
      return false;
    }
    columns.push_back({found->number, true});
  }
  return true;
}

// A unique physical index whose key is exactly these columns, in order.
const PhysicalIndex* UniqueIndexOver(const TableWriter& table,
                                     const std::vector<IndexKeyColumn>& columns) {
  for (const PhysicalIndex& index : table.indexes().physical) {
    if (!index.unique() || index.columns.size() != columns.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      same = same && index.columns[i].columnNumber == columns[i].columnNumber;
    }
    if (same) return &index;
  }
  return nullptr;
}

// The engine names the referenced side's index ".r" and a letter.
std::string HiddenIndexName(const TableWriter& table) {
  std::set<std::string> taken;
  for (const LogicalIndex& index : table.indexes().logical)
    taken.insert(ToLowerAscii(index.name));
  std::string name = ".r";
  name += static_cast<char>('A' + table.nextIndexNumber() % 26);
  while (taken.count(ToLowerAscii(name)) != 0)
    name += 'A';
  return name;
}

}  // namespace

WriteStatus LinkTables(const RelationshipDesign& design, TableWriter& referencing,
                       TableWriter& referenced, bool& oneToOne) {
  const std::string where = "Relationship [" + design.name + "]";
  if (design.columns.empty() || design.columns.size() > jet4::kMaxIndexColumns ||
      design.columns.size() != design.referencedColumns.size()) {
    return Invalid(where + " must pair 1 to 10 columns of each table");
  }
  std::vector<IndexKeyColumn> columns;
  std::vector<IndexKeyColumn> referencedColumns;
  std::string missing;
  if (!FindColumns(referencing, design.columns, columns, missing)) {
    return Invalid(where + ": table [" + referencing.name() + "] has no column [" + missing + "]");
  }
  if (!FindColumns(referenced, design.referencedColumns, referencedColumns, missing)) {
    return Invalid(where + ": table [" + referenced.name() + "] has no column [" + missing + "]");
  }
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnSlot& from = referencing.shape().columns[columns[i].columnNumber];
    const ColumnSlot& to = referenced.shape().columns[referencedColumns[i].columnNumber];
    if (from.type != to.type) {
      return Invalid(where + ": columns [" + from.name + "] and [" + to.name +
                     "] are of different types");
    }
  }
  oneToOne = UniqueIndexOver(referencing, columns) != nullptr;
  if (!design.enforced) return WriteStatus::Success();

  const PhysicalIndex* target = UniqueIndexOver(referenced, referencedColumns);
  if (target == nullptr) {
    return Invalid(where + ": the referenced columns of table [" + referenced.name() +
                   "] need a primary key or unique index of their own");
  }
  // The referenced side shares that index, key order and all.
  const std::vector<IndexKeyColumn> referencedKey = target->columns;
  // Each side's index names the other by number; a table related to itself
  // gets both, one after the other.
  const std::uint32_t referencingNumber = referencing.nextIndexNumber();
  const std::uint32_t referencedNumber =
      &referencing == &referenced ? referencingNumber + 1 : referenced.nextIndexNumber();

  LogicalIndex foreign;
  foreign.name = design.name;
  foreign.number = referencingNumber;
  foreign.kind = IndexKind::ForeignKey;
  foreign.relatedSide = 2;
  foreign.relatedIndexNumber = static_cast<std::int32_t>(referencedNumber);
  foreign.relatedTablePage = referenced.definitionPage();
  foreign.cascadeUpdates = design.cascadeUpdates;
  foreign.cascadeDeletes = design.cascadeDeletes;

  LogicalIndex primary = foreign;
  primary.number = referencedNumber;
  primary.relatedSide = 1;
  primary.relatedIndexNumber = static_cast<std::int32_t>(referencingNumber);
  primary.relatedTablePage = referencing.definitionPage();

  if (WriteStatus status = referencing.addRelationshipIndex(foreign, columns); !status) {
    return status;
  }
  primary.name = HiddenIndexName(referenced);
  return referenced.addRelationshipIndex(primary, referencedKey);
}

}  // namespace tablift::jet
