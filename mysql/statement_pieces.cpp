#include "mysql/statement_pieces.h"

namespace tablift {
namespace {

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

std::vector<std::string> SplitStatements(std::string_view text) {
  std::vector<std::string> pieces;
  std::string piece;
  char quote = 0;  // the quote that opened the quoted part we are in
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      piece += c;
      // A backslash escapes the next character inside strings, not names.
      if (c == '\\' && quote != '`' && i + 1 < text.size()) {
        piece += text[++i];
      } else if (c == quote) {
        quote = 0;  // a doubled quote closes and opens again
      }
      continue;
    }
    if (c == ';') {
      if (!IsBlank(piece)) pieces.push_back(piece);
      piece.clear();
      continue;
    }
    if (c == '`' || c == '\'' || c == '"') quote = c;
    piece += c;
  }
  if (!IsBlank(piece)) pieces.push_back(piece);
  return pieces;
}

}  // namespace tablift
