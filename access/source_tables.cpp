#include "access/source_tables.h"

#include "data_access/ascii_text.h"
#include "data_access/provider_calls.h"

namespace tablift {

bool IsAccessTemporaryTable(std::string_view name) {
  constexpr std::string_view kPrefix = "~tmp";
  return name.size() >= kPrefix.size() && EqualsIgnoreCase(name.substr(0, kPrefix.size()), kPrefix);
}

Result<std::vector<std::string>> ListSourceTables(Session* session, std::string_view step,
                                                  std::vector<std::string>* leftOut) {
  Result<std::vector<std::string>> listed = ObjectNames(session, {}, ObjectKind::Table, step);
  if (!listed.ok()) return listed;
  std::vector<std::string> tables;
  for (std::string& name : listed.value()) {
    if (!IsAccessTemporaryTable(name)) {
      tables.push_back(std::move(name));
    } else if (leftOut != nullptr) {
      leftOut->push_back(std::move(name));
    }
  }
  return tables;
}

}  // namespace tablift
