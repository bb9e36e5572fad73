#include "data_access/error_info.h"

#include <utility>

namespace tablift {
namespace {

// Error objects belong to the thread that saw the failure: the controller
// thread and the user-interface thread must never read each other's errors.
thread_local std::optional<ErrorObject> current_error_object;

}  // namespace

void SetThreadErrorObject(ErrorObject object) {
  current_error_object = std::move(object);
}

void ClearThreadErrorObject() {
  current_error_object.reset();
}

std::optional<ErrorObject> TakeThreadErrorObject() {
  std::optional<ErrorObject> taken = std::move(current_error_object);
  current_error_object.reset();
  return taken;
}

void PostError(std::string description, std::string source) {
  ErrorObject object;
  object.own.description = std::move(description);
  object.own.source = std::move(source);
  object.records.emplace();
  object.records->emplace_back(object.own);
  SetThreadErrorObject(std::move(object));
}

ErrorInfoSupport::~ErrorInfoSupport() = default;

}  // namespace tablift
