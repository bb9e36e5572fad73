#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/jet/jet_value.h"

namespace tablift::jet {

struct Token {
  enum class Kind {
    End,
    Word,        // a name or keyword: Orders, select, Left$
    QuotedName,  // [Order Details]: never a keyword
    Literal,     // 'text', "text", 12, 1.5e3, #2/29/2024#
    Symbol,      // ( ) , . ! ; * + - / \ ^ & = <> < > <= >=
  };
  Kind kind = Kind::End;
  std::string text;        // the name without brackets, or the symbol
  Value value;             // Literal
  std::size_t offset = 0;  // bytes into the statement
  std::size_t length = 0;
};

// Splits Access SQL into tokens; white space (blanks, tabs, line breaks)
// separates them. Throws QueryError (Command) for an unterminated string or
// name, an invalid #date# or a character that starts no token.
std::vector<Token> TokenizeSql(std::string_view sql);

}  // namespace tablift::jet
