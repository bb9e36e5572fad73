#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data_access/result_codes.h"
#include "data_access/session.h"

namespace tablift {

// Tables whose names begin with "~TMP" are temporary tables Access left
// behind (Access hides them): no migration moves them.
bool IsAccessTemporaryTable(std::string_view name);

// The tables of an Access database that a migration moves, in the catalog's
// order: every user table whatever its name holds, except the temporary
// tables Access left behind ("~TMP…"), which go to `leftOut` when given.
// Returns the result of opening the catalog's list.
HResult ListSourceTables(Session& session, std::vector<std::string>& tables,
                         std::vector<std::string>* leftOut = nullptr);

}  // namespace tablift
