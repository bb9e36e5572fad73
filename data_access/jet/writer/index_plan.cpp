#include "data_access/jet/writer/index_plan.h"

#include <set>

#include "data_access/ascii_text.h"
#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

// The key types whose index form this writer produces.
bool Indexable(JetType type) {
  switch (type) {
    case JetType::Byte:
    case JetType::Integer:
    case JetType::Long:
    case JetType::Currency:
    case JetType::Single:
    case JetType::Double:
    case JetType::DateTime:
    case JetType::Text:
      return true;
    default:
      return false;
  }
}

WriteStatus Invalid(const std::string& message) {
  return WriteStatus::Failure(WriteError::InvalidDesign, message);
}

const ColumnSlot* FindColumn(const RowShape& shape, const std::string& name) {
  for (const ColumnSlot& column : shape.columns) {
    if (EqualsIgnoreCase(column.name, name)) return &column;
  }
  return nullptr;
}

}  // namespace

bool PhysicalIndex::unique() const {
  return (flags & jet4::kIndexUnique) != 0;
}
bool PhysicalIndex::ignoresNulls() const {
  return (flags & jet4::kIndexIgnoreNulls) != 0;
}
bool PhysicalIndex::required() const {
  return (flags & jet4::kIndexRequired) != 0;
}

WriteStatus PlanIndexes(const TableDesign& design, const RowShape& shape, IndexSet& indexes) {
  IndexSet result;
  std::set<std::string> names;
  bool hasPrimaryKey = false;
  if (design.indexes.size() > jet4::kMaxIndexesPerTable) {
    return Invalid("Table [" + design.name + "] has more than 32 indexes");
  }
  for (const IndexDesign& index : design.indexes) {
    const std::string where = "Index [" + index.name + "] of table [" + design.name + "]";
    if (const std::string problem = CheckObjectName(index.name); !problem.empty()) {
      return Invalid("The index name [" + index.name + "] in table [" + design.name + "] " +
                     problem);
    }
    if (!names.insert(ToLowerAscii(index.name)).second) {
      return Invalid("Table [" + design.name + "] has two indexes named [" + index.name + "]");
    }
    if (index.columns.empty() || index.columns.size() > jet4::kMaxIndexColumns) {
      return Invalid(where + " must have 1 to 10 columns");
    }
    if (index.primaryKey && hasPrimaryKey) {
      return Invalid("Table [" + design.name + "] has more than one primary key");
    }
    hasPrimaryKey = hasPrimaryKey || index.primaryKey;

    PhysicalIndex physical;
    std::set<std::uint16_t> used;
    for (const IndexColumnDesign& key : index.columns) {
      const ColumnSlot* column = FindColumn(shape, key.column);
      if (column == nullptr) return Invalid(where + " names no column [" + key.column + "]");
      if (!used.insert(column->number).second) {
        return Invalid(where + " names column [" + key.column + "] twice");
      }
      if (!Indexable(column->type)) {
        return Invalid(where + ": this writer cannot build index entries for column [" +
                       column->name + "] of its type");
      }
      physical.columns.push_back({column->number, key.ascending});
    }
    physical.flags = jet4::kIndexAlwaysSet;
    if (index.primaryKey || index.unique) physical.flags |= jet4::kIndexUnique;
    if (index.ignoreNulls) physical.flags |= jet4::kIndexIgnoreNulls;
    if (index.primaryKey || index.required) physical.flags |= jet4::kIndexRequired;

    LogicalIndex logical;
    logical.name = index.name;
    logical.number = static_cast<std::uint32_t>(result.logical.size());
    logical.physical = static_cast<std::uint32_t>(result.physical.size());
    logical.kind = index.primaryKey ? IndexKind::PrimaryKey : IndexKind::Normal;
    result.physical.push_back(std::move(physical));
    result.logical.push_back(std::move(logical));
  }
  indexes = std::move(result);
  return WriteStatus::Success();
}

std::uint32_t PhysicalIndexFor(IndexSet& indexes, const std::vector<IndexKeyColumn>& columns) {
  for (std::size_t i = 0; i < indexes.physical.size(); ++i) {
    const auto& existing = indexes.physical[i].columns;
    bool same = existing.size() == columns.size();
    for (std::size_t k = 0; same && k < columns.size(); ++k) {
      same = existing[k].columnNumber == columns[k].columnNumber &&
             existing[k].ascending == columns[k].ascending;
    }
    if (same) return static_cast<std::uint32_t>(i);
  }
  indexes.physical.push_back({columns, jet4::kIndexAlwaysSet});
  return static_cast<std::uint32_t>(indexes.physical.size() - 1);
}

}  // namespace tablift::jet
