#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data_access/session.h"

namespace tablift {

// The storage engine of a table of the session's current database ("InnoDB",
// "MyISAM", ...); empty when it cannot be read.
std::string TableEngine(Session* session, std::string_view table);

// For each column of a table of the session's current database, in the
// table's order, whether its type is DATETIME (with or without a fraction);
// empty when they cannot be read.
std::vector<bool> TableDateTimeColumns(Session* session, std::string_view table);

// Whether tables of that engine keep FOREIGN KEY constraints. MyISAM, Aria
// and the other non-transactional engines accept the clause and drop it
// without a word. An unknown (empty) engine is given the benefit of the doubt.
bool EngineKeepsForeignKeys(std::string_view engine);

}  // namespace tablift
