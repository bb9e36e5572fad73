#pragma once

#include <exception>
#include <new>

#include "data_access/jet/jet_messages.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

// Runs the body of a provider call. Errors are values at the provider's
// boundary: an exception becomes a failed result with an error object.
template <typename Operation>
HResult AtBoundary(Operation&& operation) noexcept {
  try {
    return operation();
  } catch (const std::bad_alloc&) {
    PostJetError("There isn't enough memory to complete this operation.");
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    PostJetError(error.what());
    return E_FAIL;
  } catch (...) {
    PostJetError("Unexpected error.");
    return E_UNEXPECTED;
  }
}

}  // namespace tablift::jet
