#include "data_access/jet/index_definitions.h"

#include "data_access/error_info.h"
#include "data_access/jet/jet_database.h"
#include "data_access/jet/provider_boundary.h"

namespace tablift::jet {

HResult ReadIndexDefinitions(const std::string& path, const std::string& table,
                             std::vector<IndexDefinition>& indexes, std::string& error,
                             const std::string& password) {
  indexes.clear();
  error.clear();
  ClearThreadErrorObject();
  const HResult result = AtBoundary([&]() -> HResult {
    std::shared_ptr<JetDatabase> database;
    HResult opened = JetDatabase::open(path, password, database);
    if (Failed(opened)) return opened;
    TableDefinition definition;
    opened = database->describeTable(table, definition);
    if (Failed(opened)) return opened;
    indexes = std::move(definition.indexes);
    return S_OK;
  });
  if (Failed(result)) {
    if (std::optional<ErrorObject> object = TakeThreadErrorObject()) {
      error = object->own.description;
    }
  }
  return result;
}

}  // namespace tablift::jet
