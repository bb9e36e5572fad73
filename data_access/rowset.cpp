#include "data_access/rowset.h"

#include <algorithm>

namespace tablift {

Rowset::~Rowset() {
  close();
}

void Rowset::attach(std::unique_ptr<ProviderRowset> rowset) {
  close();
  object_ = std::move(rowset);
}

HResult Rowset::moveNext() {
  rowHeld_ = false;
  if (!object_) return E_UNEXPECTED;
  ClearThreadErrorObject();
  HResult result = E_FAIL;
  try {
    result = object_->nextRow();
  } catch (...) {
    return E_FAIL;
  }
  if (result != S_OK) return result;
  rowHeld_ = true;
  result = getData();
  if (Failed(result)) rowHeld_ = false;
  return result;
}

HResult Rowset::getData() {
  if (!rowHeld_) return DB_E_BADROWHANDLE;
  // A copy: an accessor may detach itself while it is filled.
  const std::vector<RowAccessor*> accessors = accessors_;
  for (RowAccessor* accessor : accessors) {
    const HResult result = accessor->fill(*this);
    if (Failed(result)) return result;
  }
  return S_OK;
}

void Rowset::close() {
  rowHeld_ = false;
  const std::vector<RowAccessor*> accessors = std::move(accessors_);
  accessors_.clear();
  for (RowAccessor* accessor : accessors)
    accessor->detach();
  object_.reset();
}

HResult Rowset::columnInfo(std::vector<ColumnInfo>& columns) {
  columns.clear();
  if (!object_) return E_UNEXPECTED;
  ClearThreadErrorObject();
  try {
    return object_->columnInfo(columns);
  } catch (...) {
    return E_FAIL;
  }
}

HResult Rowset::readValue(std::size_t ordinal, ColumnValue& value) {
  // Cleared, not replaced: a reader of many rows keeps the text's memory.
  value.text.clear();
  value.null = true;
  if (!object_) return E_UNEXPECTED;
  if (!rowHeld_) return DB_E_BADROWHANDLE;
  try {
    return object_->value(ordinal, value);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

void Rowset::addAutomaticAccessor(RowAccessor* accessor) {
  if (accessor != nullptr &&
      std::find(accessors_.begin(), accessors_.end(), accessor) == accessors_.end()) {
    accessors_.push_back(accessor);
  }
}

void Rowset::removeAccessor(RowAccessor* accessor) {
  accessors_.erase(std::remove(accessors_.begin(), accessors_.end(), accessor), accessors_.end());
}

HResult Rowset::InterfaceSupportsErrorInfo(InterfaceId) const {
  return object_ ? S_OK : E_NOINTERFACE;
}

}  // namespace tablift
