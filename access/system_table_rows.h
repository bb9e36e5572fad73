#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tablift {

class Session;

// A text as a string literal of the Jet provider's SQL: in single quotes, a
// quote inside doubled, so that a name cannot end the literal early.
std::string AccessStringLiteral(std::string_view text);

// One wanted column of a system table query: found by its name (letter case
// aside), or, when the result has no column of that name, at `position`
// (counted from 1, the bookmark not counted; 0 for none).
struct WantedColumn {
  const char* name;
  std::size_t position = 0;
};

// Runs `sql` on the Jet session with the statement runner's rowset
// properties and reads the wanted columns of every row whole (a NULL or a
// missing column reads as ""), one inner vector per row in the order of
// `wanted`. Returns what RunTextQuery returns: "" when a rowset was read.
std::string ReadSystemRows(Session* session, std::string_view sql,
                           const std::vector<WantedColumn>& wanted,
                           std::vector<std::vector<std::string>>& rows);

}  // namespace tablift
