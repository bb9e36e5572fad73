#pragma once

#include <string>

#include "core/status.h"
#include "data_access/data_source.h"

namespace tablift {

// The format of the Access file an open Jet data source reads, as the provider
// names it: "Jet 3", "Jet 4", "ACE 12", "ACE 14", "ACE 15", "ACE 16" or
// "ACE 17". A failure when the provider tells none (another provider).
Result<std::string> AccessFileFormat(DataSource& dataSource);

}  // namespace tablift
