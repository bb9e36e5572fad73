#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "data_access/error_info.h"
#include "data_access/property_set.h"
#include "data_access/provider.h"
#include "data_access/provider_registry.h"
#include "data_access/result_codes.h"

namespace tablift {

// An opened (initialised) data source of a provider; empty when not open.
class DataSource : public ErrorInfoSupport {
 public:
  DataSource() = default;
  DataSource(const DataSource&) = delete;
  DataSource& operator=(const DataSource&) = delete;
  DataSource(DataSource&&) noexcept = default;
  DataSource& operator=(DataSource&&) noexcept = default;
  ~DataSource() override = default;

  // Releases what is held, makes the provider's data source object, gives it
  // the property sets (when `sets` is not null) and initialises it. A failure
  // of the properties is returned at once and the object stays held (so its
  // error can be described); the initialisation's result is returned last.
  // A null class gives REGDB_E_CLASSNOTREG and holds nothing.
  HResult open(Clsid clsid, const PropertySet* sets, std::size_t setCount);
  void close();

  bool isOpen() const { return object_ != nullptr; }
  ProviderDataSource* provider() const { return object_.get(); }

  // S_OK while an object is held (its failures leave error objects);
  // E_NOINTERFACE when none is, so that the text is "Unknown Error!".
  HResult InterfaceSupportsErrorInfo(InterfaceId iid) const override;

 private:
  std::unique_ptr<ProviderDataSource> object_;
};

// Reads one data source information property (DBPROP_DBMSNAME,
// DBPROP_DBMSVER, DBPROP_PROVIDERVER) as text.
HResult ReadDataSourceInfo(DataSource& dataSource, PropertyId id, std::string& value);

}  // namespace tablift
