#pragma once

#include <string>

#include "data_access/jet/jet_value.h"
#include "engine/workbench.h"

namespace tablift::test {

// The value Access's expression gives on the project's own Access SQL
// executor, over the one row of table One (Id = 1, Nothing = Null), in the
// text form the server gives: Null as NULL, numbers in shortest form, dates
// as "yyyy-mm-dd hh:mm:ss", Yes/No as 1 and 0. A failure is "<failed: ...>".
std::string AccessValue(const std::string& expression);

// The value of a MySQL expression on the target session, over the same row,
// in the same form.
std::string ServerValue(Workbench& window, const std::string& mysqlExpression);

// Whether two such texts stand for the same value: equal, or numbers equal
// to 12 significant digits.
bool SameValue(const std::string& access, const std::string& server);

}  // namespace tablift::test
