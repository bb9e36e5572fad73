#include "engine/test_connections.h"

#include <vector>

#include "access/source_init_properties.h"
#include "data_access/data_source.h"
#include "data_access/error_texts.h"
#include "data_access/provider_registry.h"
#include "engine/config_file.h"
#include "mysql/target_init_properties.h"

namespace tablift {
namespace {

void TryOpen(const std::string& progId, const std::vector<PropertySet>& sets, const char* failed,
             const char* succeeded, Prompter& prompter) {
  Clsid clsid = nullptr;
  CLSIDFromProgID(progId, clsid);
  DataSource dataSource;
  if (Failed(dataSource.open(clsid, sets.data(), sets.size()))) {
    prompter.showMessage(failed, MessageIcon::Error);
    prompter.showMessage(DescribeOleDbError(&dataSource, InterfaceId::IDBInitialize),
                         MessageIcon::Error);
  } else {
    prompter.showMessage(succeeded, MessageIcon::Information);
  }
  dataSource.close();
}

}  // namespace

void TestConnections(const ConnectionProfile& source, const ConnectionProfile& target,
                     Prompter& prompter) {
  ConnectionProfile sourceProfile = source;
  sourceProfile.progId = ProviderToProgId(source.providerName);
  std::vector<PropertySet> sourceSets;
  sourceSets.emplace_back(PropertySetId::DBInit);
  BuildSourceInitProperties(sourceProfile, sourceSets.back());
  if (IsJetProgId(sourceProfile.progId)) sourceSets.push_back(BuildJetInitProperties());
  TryOpen(sourceProfile.progId, sourceSets, "Source DB Connect ERROR!",
          "Source Connection Successful!", prompter);

  ConnectionProfile targetProfile = target;
  targetProfile.progId = ProviderToProgId(target.providerName);
  std::vector<PropertySet> targetSets;
  targetSets.emplace_back(PropertySetId::DBInit);
  if (!BuildTargetInitPropertiesReporting(targetProfile, targetSets.back(), prompter)) return;
  TryOpen(targetProfile.progId, targetSets, "Target DB Connect ERROR!",
          "Target Connection Successful!", prompter);
}

}  // namespace tablift
