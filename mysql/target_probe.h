#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data_access/property_set.h"

namespace tablift {

// Opens a data source of the provider `progId` with the initialisation set as
// it stands, then closes it again: does this set reach the target? Nothing on
// success; otherwise the provider's error text for the failed initialisation
// ("Unknown Error!" when no provider object could be made). The error text is
// taken on the calling thread right after the failure, as it must be.
std::optional<std::string> ProbeTargetDataSource(std::string_view progId, const PropertySet& set);

}  // namespace tablift
