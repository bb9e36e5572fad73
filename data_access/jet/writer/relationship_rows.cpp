#include "data_access/jet/writer/relationship_rows.h"

namespace tablift::jet {

std::vector<std::vector<Value>> RelationshipRows(const RelationshipDesign& design, bool oneToOne) {
  std::int32_t flags = 0;
  if (oneToOne) flags |= kRelationUnique;
  if (!design.enforced) flags |= kRelationDontEnforce;
  if (design.cascadeUpdates) flags |= kRelationUpdateCascade;
  if (design.cascadeDeletes) flags |= kRelationDeleteCascade;
  std::vector<std::vector<Value>> rows;
  const auto count = static_cast<std::int64_t>(design.columns.size());
  for (std::size_t i = 0; i < design.columns.size(); ++i) {
    rows.push_back({design.name, std::int64_t{flags}, count, static_cast<std::int64_t>(i),
                    design.table, design.columns[i], design.referencedTable,
                    design.referencedColumns[i]});
  }
  return rows;
}

}  // namespace tablift::jet
