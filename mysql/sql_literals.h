#pragma once

#include <string>
#include <string_view>

namespace tablift {

// A MySQL identifier in backquotes, an embedded backquote doubled, so that
// reserved words (Order, Group, Table), blanks and non-ASCII names work.
std::string QuoteIdentifier(std::string_view name);

// A MySQL string literal in single quotes with quotes, backslashes, NUL,
// line ends, tabs and Ctrl-Z escaped, so that any text survives a statement
// and a script file. (Servers running with NO_BACKSLASH_ESCAPES would need
// doubled quotes instead; Tablift's sessions keep the default mode.)
std::string StringLiteral(std::string_view text);
// The same literal, appended to `out`.
void AppendStringLiteral(std::string_view text, std::string& out);

// A MySQL hexadecimal literal, X'...', from hexadecimal digits; every byte is
// kept and an empty value gives X''.
std::string HexLiteral(std::string_view hexDigits);

}  // namespace tablift
