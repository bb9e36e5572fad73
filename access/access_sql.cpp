#include "access/access_sql.h"

namespace tablift {

std::optional<std::string> BracketedAccessName(std::string_view name) {
  if (name.empty() || name.find(']') != std::string_view::npos) return std::nullopt;
  return "[" + std::string(name) + "]";
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> SingleCondition(std::string_view condition) {
  condition = Trimmed(condition);
  if (!condition.empty() && condition.back() == ';') {
    condition = Trimmed(condition.substr(0, condition.size() - 1));
  }
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
        return std::nullopt;
      default:
        break;
    }
  }
  return std::string(condition);
}

}  // namespace tablift
