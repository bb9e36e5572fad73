#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data_access/result_codes.h"
#include "data_access/session.h"

namespace tablift {

enum class ObjectKind { Table, View };

// The names of the tables or views a session's catalog lists, in its order,
// whatever characters they hold; the views of the server's own schemas
// ("sys", "INFORMATION_SCHEMA") are left out. `catalog` restricts the
// list to one database; a MySQL driver otherwise lists every database's
// objects. Returns the result of opening the list; `names` gets what was read.
HResult ListObjectNames(Session& session, std::string_view catalog, ObjectKind kind,
                        std::vector<std::string>& names);

}  // namespace tablift
