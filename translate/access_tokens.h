#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tablift {

// Why a piece of Access SQL cannot become MySQL text. Thrown inside the
// translation only; the public functions answer with it as a value.
struct Untranslatable {
  std::string problem;
};

enum class TokenKind {
  Word,       // a bare name or keyword: Orders, SELECT, IIf
  Bracketed,  // a name in brackets, without them
  String,     // a "text" or 'text' literal, its value without the quotes
  Date,       // a #date# literal as 'yyyy-mm-dd hh:mm:ss'
  Number,     // 12, 1.5, 2E+3
  Symbol,     // ( ) , . ; & + - * / \ ^ = <> < > <= >= ! ?
  End,        // after the last token
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;
  std::size_t begin = 0;  // where it starts in the source text
};

// The tokens of Access SQL text, the End token last. Blanks and line breaks
// separate tokens and are not kept.
std::vector<Token> TokenizeAccessSql(std::string_view text);

// Whether a Word token is `word`, compared without regard to case.
bool IsWord(const Token& token, std::string_view word);

}  // namespace tablift
