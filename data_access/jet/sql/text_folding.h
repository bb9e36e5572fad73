#pragma once

#include <string>
#include <string_view>

namespace tablift::jet {

// Access compares text without regard to case. Case is mapped for ASCII,
// Latin-1, Latin Extended-A, Greek and the basic Cyrillic letters; other
// characters have no case here. Each mapping is one character to one
// character, so lengths and positions do not change (ß stays ß).
char32_t ToLowerChar(char32_t c);
char32_t ToUpperChar(char32_t c);

std::string ToLowerText(std::string_view text);
std::string ToUpperText(std::string_view text);

// The text decoded and mapped to lower case: the form that Like, InStr and
// text comparisons work on.
std::u32string FoldText(std::string_view text);

// Access's text order: first by letters with case and accents set aside, so
// that "é" sorts with "e" and before "f"; texts equal in that respect are
// ordered by their lower-case characters, so "e" < "é". Two texts compare
// equal exactly when they are equal apart from case ("Ä" = "ä", "Ä" <> "A").
int CompareText(std::string_view a, std::string_view b);

// Names of tables, columns and functions: equal apart from case.
bool NamesEqual(std::string_view a, std::string_view b);

}  // namespace tablift::jet
