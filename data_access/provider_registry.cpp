#include "data_access/provider_registry.h"

#include <algorithm>
#include <vector>

#include "data_access/ascii_text.h"
#include "data_access/jet/jet_provider.h"
#include "data_access/odbc/odbc_provider.h"

namespace tablift {
namespace {

// Built on first use rather than by static registrars, which a static library
// would drop from the link.
const std::vector<ProviderClass>& BuiltInProviders() {
  static const std::vector<ProviderClass> providers = {
      {kOdbcProgId, &CreateOdbcDataSource},
      {kJetProgId, &CreateJetDataSource},
  };
  return providers;
}

}  // namespace

HResult CLSIDFromProgID(std::string_view progId, Clsid& clsid) {
  clsid = nullptr;
  for (const ProviderClass& provider : BuiltInProviders()) {
    if (EqualsIgnoreCase(provider.progId, progId)) {
      clsid = &provider;
      return S_OK;
    }
  }
  return CO_E_CLASSSTRING;
}

std::unique_ptr<ProviderDataSource> CreateProviderDataSource(Clsid clsid) {
  if (clsid == nullptr || clsid->create == nullptr) return nullptr;
  return clsid->create();
}

}  // namespace tablift
