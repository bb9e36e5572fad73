#include "target_mysql/sql_literals.h"

namespace tablift {

std::string QuoteIdentifier(std::string_view name) {
  std::string quoted;
  quoted.reserve(name.size() + 2);
  quoted += '`';
  for (const char c : name) {
    if (c == '`') quoted += '`';
    quoted += c;
  }
  quoted += '`';
  return quoted;
}

std::string StringLiteral(std::string_view text) {
  std::string literal;
  literal.reserve(text.size() + 2);
  literal += '\'';
  for (const char c : text) {
    switch (c) {
      case '\0':
        literal += "\\0";
        break;
      case '\'':
        literal += "\\'";
        break;
      case '"':
        literal += "\\\"";
        break;
      case '\\':
        literal += "\\\\";
        break;
      case '\n':
        literal += "\\n";
        break;
      case '\r':
        literal += "\\r";
        break;
      case '\t':
        literal += "\\t";
        break;
      case '\x1a':
        literal += "\\Z";
        break;
      default:
        literal += c;
    }
  }
  literal += '\'';
  return literal;
}

std::string HexLiteral(std::string_view hexDigits) {
  std::string literal = "X'";
  literal += hexDigits;
  literal += '\'';
  return literal;
}

}  // namespace tablift
