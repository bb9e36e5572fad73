#include "data_access/data_source.h"

#include <exception>

namespace tablift {

HResult DataSource::open(Clsid clsid, const PropertySet* sets, std::size_t setCount) {
  close();
  ClearThreadErrorObject();
  try {
    object_ = CreateProviderDataSource(clsid);
    if (!object_) return REGDB_E_CLASSNOTREG;
    if (sets != nullptr && setCount > 0) {
      const HResult set = object_->setProperties(sets, setCount);
      if (Failed(set)) return set;
    }
    return object_->initialize();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

void DataSource::close() {
  object_.reset();
}

HResult DataSource::InterfaceSupportsErrorInfo(InterfaceId) const {
  return object_ ? S_OK : E_NOINTERFACE;
}

HResult ReadDataSourceInfo(DataSource& dataSource, PropertyId id, std::string& value) {
  value.clear();
  ClearThreadErrorObject();
  if (!dataSource.isOpen()) return E_NOINTERFACE;
  try {
    return dataSource.provider()->info(id, value);
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace tablift
