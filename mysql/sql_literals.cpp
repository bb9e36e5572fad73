#include "mysql/sql_literals.h"

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

namespace {

// The escape MySQL needs for a character inside a quoted string, or null.
const char* EscapeOf(char c) {
  switch (c) {
    case '\0':
      return "\\0";
    case '\'':
      return "\\'";
    case '"':
      return "\\\"";
    case '\\':
      return "\\\\";
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '\t':
      return "\\t";
    case '\x1a':
      return "\\Z";
    default:
      return nullptr;
  }
}

}  // namespace

std::string StringLiteral(std::string_view text) {
  std::string literal;
  AppendStringLiteral(text, literal);
  return literal;
}

void AppendStringLiteral(std::string_view text, std::string& literal) {
  literal.reserve(literal.size() + text.size() + 2);
  literal += '\'';
  // Runs of characters that need no escape are copied whole.
  std::size_t run = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char* escape = EscapeOf(text[at]);
    if (escape == nullptr) continue;
    literal.append(text.substr(run, at - run));
    literal += escape;
    run = at + 1;
  }
  literal.append(text.substr(run));
  literal += '\'';
}

std::string HexLiteral(std::string_view hexDigits) {
  std::string literal = "X'";
  literal += hexDigits;
  literal += '\'';
  return literal;
}

}  // namespace tablift
