#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "data_access/session.h"

namespace tablift {

// Tables whose names begin with "~TMP" are temporary tables Access left
// behind (Access hides them): no migration moves them.
bool IsAccessTemporaryTable(std::string_view name);

// The tables of an Access database that a migration moves, in the catalog's
// order: every user table whatever its name holds, except the temporary
// tables Access left behind ("~TMP…"), which go to `leftOut` when given. A
// failure (no session, a list that cannot be opened) reads `step` followed by
// the provider's description.
Result<std::vector<std::string>> ListSourceTables(Session* session, std::string_view step,
                                                  std::vector<std::string>* leftOut = nullptr);

}  // namespace tablift
