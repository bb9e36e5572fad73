#include "engine/requests.h"

#include "engine/catalog_tree.h"

namespace tablift {

bool IsSingleObject(ObjectScope scope) {
  return scope == ObjectScope::Table || scope == ObjectScope::View;
}

std::optional<ObjectScope> ScopeOfNode(int image) {
  switch (image) {
    case kImageDatabase:
      return ObjectScope::Database;
    case kImageTablesFolder:
      return ObjectScope::Tables;
    case kImageTable:
      return ObjectScope::Table;
    case kImageViewsFolder:
      return ObjectScope::Views;
    case kImageView:
      return ObjectScope::View;
    default:
      return std::nullopt;
  }
}

}  // namespace tablift
