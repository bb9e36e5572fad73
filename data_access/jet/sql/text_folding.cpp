#include "data_access/jet/sql/text_folding.h"

#include <cstring>

#include "data_access/jet/sql/utf8_text.h"

namespace tablift::jet {
namespace {

// Base letters of U+0100..U+017F ('.' where the letter has none here).
constexpr const char kLatinExtendedABase[] =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii..jjkkkllllllllllnnnnnnnnnoooooo.."
    "rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(sizeof(kLatinExtendedABase) == 128 + 1);

// Base letters of U+00C0..U+00FF, lower case ('.' for none).
constexpr const char kLatin1Base[] =
    "aaaaaaaceeeeiiiidnooooo.ouuuuy.saaaaaaaceeeeiiiidnooooo.ouuuuy.y";
static_assert(sizeof(kLatin1Base) == 64 + 1);

char32_t BaseLetter(char32_t lower) {
  if (lower >= 0xC0 && lower <= 0xFF && kLatin1Base[lower - 0xC0] != '.') {
    return static_cast<char32_t>(kLatin1Base[lower - 0xC0]);
  }
  if (lower >= 0x100 && lower <= 0x17F && kLatinExtendedABase[lower - 0x100] != '.') {
    return static_cast<char32_t>(kLatinExtendedABase[lower - 0x100]);
  }
  return lower;
}

int CompareCodePoints(const std::u32string& a, const std::u32string& b, bool baseLetters) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char32_t x = baseLetters ? BaseLetter(a[i]) : a[i];
    const char32_t y = baseLetters ? BaseLetter(b[i]) : b[i];
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

unsigned char AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

}  // namespace

char32_t ToLowerChar(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130) return U'i';
    if (c == 0x178) return 0xFF;
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool evenUpper = (c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177);
    if (oddUpper && (c & 1) == 1) return c + 1;
    if (evenUpper && (c & 1) == 0) return c + 1;
    return c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;  // Greek
  if (c == 0x3C2) return 0x3C3;                               // final sigma
  if (c >= 0x410 && c <= 0x42F) return c + 32;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

char32_t ToUpperChar(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x131) return U'I';
    if (c == 0x17F) return U'S';
    const bool evenLower = (c >= 0x13A && c <= 0x148) || (c >= 0x17A && c <= 0x17E);
    const bool oddLower = (c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14B && c <= 0x177);
    if (evenLower && (c & 1) == 0) return c - 1;
    if (oddLower && (c & 1) == 1) return c - 1;
    return c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
  if (c == 0x3C2) return 0x3A3;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

std::string ToLowerText(std::string_view text) {
  std::u32string decoded = DecodeUtf8(text);
  for (char32_t& c : decoded)
    c = ToLowerChar(c);
  return EncodeUtf8(decoded);
}

std::string ToUpperText(std::string_view text) {
  std::u32string decoded = DecodeUtf8(text);
  for (char32_t& c : decoded)
    c = ToUpperChar(c);
  return EncodeUtf8(decoded);
}

std::u32string FoldText(std::string_view text) {
  std::u32string decoded = DecodeUtf8(text);
  for (char32_t& c : decoded)
    c = ToLowerChar(c);
  return decoded;
}

int CompareText(std::string_view a, std::string_view b) {
  if (IsAsciiText(a) && IsAsciiText(b)) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      const unsigned char x = AsciiLower(static_cast<unsigned char>(a[i]));
      const unsigned char y = AsciiLower(static_cast<unsigned char>(b[i]));
      if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
  }
  const std::u32string x = FoldText(a);
  const std::u32string y = FoldText(b);
  const int primary = CompareCodePoints(x, y, true);
  return primary != 0 ? primary : CompareCodePoints(x, y, false);
}

bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() == b.size() && IsAsciiText(a) && IsAsciiText(b)) {
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (AsciiLower(static_cast<unsigned char>(a[i])) !=
          AsciiLower(static_cast<unsigned char>(b[i]))) {
        return false;
      }
    }
    return true;
  }
  return FoldText(a) == FoldText(b);
}

}  // namespace tablift::jet
