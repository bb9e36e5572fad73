#pragma once

#include <string>

#include "core/status.h"
#include "translate/access_expression.h"

namespace tablift {

// The MySQL statement for the Access data definition statement `accessSql`
// (the text of a data definition query): CREATE TABLE with Access types
// (typed as migrated tables' columns are), ALTER TABLE ADD / DROP COLUMN,
// CREATE [UNIQUE] INDEX (WITH PRIMARY makes the primary key), DROP TABLE and
// DROP INDEX. Names go through `names`. Fails with the construct that stopped
// it.
Result<std::string> TranslateDataDefinition(const std::string& accessSql, const NameMapping& names);

}  // namespace tablift
