#include "engine/requests.h"

#include "engine/catalog_tree.h"

namespace tablift {

bool IsSingleObject(ObjectScope scope) {
  return scope == ObjectScope::Table || scope == ObjectScope::View;
}

std::optional<ObjectScope> ScopeOfNode(NodeKind kind) {
  switch (kind) {
    case NodeKind::Database:
      return ObjectScope::Database;
    case NodeKind::TablesFolder:
      return ObjectScope::Tables;
    case NodeKind::Table:
      return ObjectScope::Table;
    case NodeKind::ViewsFolder:
      return ObjectScope::Views;
    case NodeKind::View:
      return ObjectScope::View;
    default:
      return std::nullopt;
  }
}

}  // namespace tablift
