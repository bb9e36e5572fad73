#include "access/source_tables.h"

#include <algorithm>
#include <cctype>

#include "data_access/object_names.h"

namespace tablift {

bool IsAccessTemporaryTable(std::string_view name) {
  constexpr std::string_view kPrefix = "~tmp";
  return name.size() >= kPrefix.size() &&
         std::equal(kPrefix.begin(), kPrefix.end(), name.begin(), [](char prefix, char c) {
           return prefix == std::tolower(static_cast<unsigned char>(c));
         });
}

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
