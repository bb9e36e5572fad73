#include "mysql/target_probe.h"

#include "data_access/data_source.h"
#include "data_access/error_texts.h"
#include "data_access/provider_registry.h"

namespace tablift {

std::optional<std::string> ProbeTargetDataSource(std::string_view progId, const PropertySet& set) {
  Clsid clsid = nullptr;
  if (Failed(CLSIDFromProgID(progId, clsid))) {
    // No provider object exists whose error could be described.
    return DescribeOleDbError(nullptr, InterfaceId::IDBInitialize);
  }
  DataSource probe;
  if (Failed(probe.open(clsid, &set, 1))) {
    return DescribeOleDbError(&probe, InterfaceId::IDBInitialize);
  }
  probe.close();
  return std::nullopt;
}

}  // namespace tablift
