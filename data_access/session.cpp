#include "data_access/session.h"

namespace tablift {

HResult Session::open(DataSource& dataSource) {
  close();
  ClearThreadErrorObject();
  if (!dataSource.isOpen()) return E_NOINTERFACE;
  try {
    std::shared_ptr<ProviderSession> session;
    const HResult result = dataSource.provider()->createSession(session);
    if (result != S_OK || !session) return Failed(result) ? result : E_FAIL;
    object_ = std::move(session);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

void Session::close() {
  object_.reset();
}

std::string Session::clientCharset() const {
  try {
    return object_ ? object_->clientCharset() : std::string();
  } catch (...) {
    return {};
  }
}

HResult Session::setClientCharset(std::string_view name) {
  ClearThreadErrorObject();
  if (!object_) return E_NOINTERFACE;
  try {
    return object_->setClientCharset(name);
  } catch (...) {
    return E_FAIL;
  }
}

HResult Session::InterfaceSupportsErrorInfo(InterfaceId) const {
  return object_ ? S_OK : E_NOINTERFACE;
}

}  // namespace tablift
