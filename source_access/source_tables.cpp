#include "source_access/source_tables.h"

#include "data_access/object_names.h"
#include "source_access/mysql_names.h"

namespace tablift {

HResult ListSourceTables(Session& session, std::vector<std::string>& tables,
                         std::vector<std::string>* leftOut) {
  std::vector<std::string> listed;
  const HResult opened = ListObjectNames(session, {}, ObjectKind::Table, listed);
  for (std::string& name : listed) {
    if (!IsAccessTemporaryTable(name)) {
      tables.push_back(std::move(name));
    } else if (leftOut != nullptr) {
      leftOut->push_back(std::move(name));
    }
  }
  return opened;
}

}  // namespace tablift
