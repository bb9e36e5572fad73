#pragma once

#include <string>
#include <string_view>

#include "core/status.h"
#include "translate/access_expression.h"

namespace tablift {

// An Access SELECT statement as text (union queries, subqueries) in MySQL
// syntax, or why it cannot be translated.
Result<std::string> TranslateAccessSelect(std::string_view accessSql, const NameMapping& names);

}  // namespace tablift
