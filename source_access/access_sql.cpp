#include "source_access/access_sql.h"

namespace tablift {

std::optional<std::string> BracketedAccessName(std::string_view name) {
  if (name.empty() || name.find(']') != std::string_view::npos) return std::nullopt;
  return "[" + std::string(name) + "]";
}

bool IsSingleCondition(std::string_view condition) {
  char closing = 0;  // what ends the literal or name being read, 0 outside one
  for (const char c : condition) {
    if (closing != 0) {
      // A doubled quote inside a string reads as leaving and entering again.
      if (c == closing) closing = 0;
      continue;
    }
    switch (c) {
      case '\'':
      case '"':
      case '#':
        closing = c;
        break;
      case '[':
        closing = ']';
        break;
      case ';':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace tablift
