#pragma once

#include <string_view>

#include "data_access/result_codes.h"

namespace tablift {

// The description of a result code as the OLE DB message table documents it,
// falling back to the system's text for the common COM codes. An unknown code
// gives the empty text. The text carries no trailing line end.
std::string_view LookupResultMessage(HResult code);

}  // namespace tablift
