#pragma once

#include <string>
#include <string_view>

namespace tablift {

// Equal when only the case of ASCII letters differs (how names, provider ids
// and keywords are compared).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The character in lower case when it is an ASCII letter, else unchanged.
char ToLowerAscii(char c);

// The text with ASCII letters in lower case; other bytes (UTF-8 sequences
// among them) unchanged.
std::string ToLowerAscii(std::string_view text);

// The text with ASCII letters in upper case; other bytes unchanged.
std::string ToUpperAscii(std::string_view text);

// The text without blanks (spaces and tabs) at either end.
std::string TrimBlanks(std::string_view text);

}  // namespace tablift
