#include "data_access/command.h"

#include <new>

namespace tablift {

Command::~Command() {
  close();
}

HResult Command::create(Session& session, std::string_view text) {
  close();
  ClearThreadErrorObject();
  if (!session.isOpen()) return E_NOINTERFACE;
  try {
    std::unique_ptr<ProviderCommand> command;
    HResult result = session.provider()->createCommand(command);
    if (Failed(result)) return result;
    if (!command) return E_FAIL;
    result = command->setText(text);
    object_ = std::move(command);
    return result;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HResult Command::open(const PropertySet* rowsetProperties, std::int64_t* rowsAffected, bool bind) {
  accessor_.release();
  rowset_.close();
  ClearThreadErrorObject();
  if (!object_) return DB_E_NOCOMMAND;
  try {
    if (rowsetProperties != nullptr) {
      const HResult set = object_->setProperties(*rowsetProperties);
      if (Failed(set)) return set;
    }
    std::unique_ptr<ProviderRowset> rowset;
    std::int64_t affected = -1;
    const HResult result = object_->execute(rowset, affected);
    if (rowsAffected != nullptr) *rowsAffected = affected;
    if (Failed(result)) return result;
    if (rowset) {
      rowset_.attach(std::move(rowset));
      if (bind) {
        const HResult bound = accessor_.bind(rowset_);
        if (Failed(bound)) return bound;
      }
    }
    return result;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

void Command::close() {
  accessor_.release();
  rowset_.close();
  object_.reset();
}

HResult Command::InterfaceSupportsErrorInfo(InterfaceId) const {
  return S_OK;
}

}  // namespace tablift
