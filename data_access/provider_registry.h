#pragma once

#include <memory>
#include <string_view>

#include "data_access/provider.h"
#include "data_access/result_codes.h"

namespace tablift {

// A registered provider: its ProgID and how to make its data source object.
struct ProviderClass {
  std::string_view progId;
  std::unique_ptr<ProviderDataSource> (*create)();
};

// What a ProgID turns into; null names no provider.
using Clsid = const ProviderClass*;

// Looks a provider up by ProgID (without regard to case): S_OK, or
// CO_E_CLASSSTRING for a name no provider registered (`clsid` is then null).
HResult CLSIDFromProgID(std::string_view progId, Clsid& clsid);

// Makes a data source object of the provider; null for a null class.
std::unique_ptr<ProviderDataSource> CreateProviderDataSource(Clsid clsid);

}  // namespace tablift
