#include "data_access/secret_masking.h"

#include <array>

#include "data_access/ascii_text.h"

namespace tablift {
namespace {

bool IsKeyBoundary(char c) {
  return c == ';' || c == ' ' || c == '\t' || c == '"' || c == '\'' || c == '(' || c == '[' ||
         c == '\n' || c == '\r';
}

// Where the value starting at `at` ends: after its closing brace when braced
// ("}}" stands for one brace inside), else at the next ';' or the end.
std::size_t ValueEnd(std::string_view text, std::size_t at) {
  if (at < text.size() && text[at] == '{') {
    for (std::size_t i = at + 1; i < text.size(); ++i) {
      if (text[i] != '}') continue;
      if (i + 1 < text.size() && text[i + 1] == '}') {
        ++i;
        continue;
      }
      return i + 1;
    }
    return text.size();
  }
  const std::size_t semicolon = text.find(';', at);
  return semicolon == std::string_view::npos ? text.size() : semicolon;
}

}  // namespace

std::string MaskPasswords(std::string_view text) {
  static constexpr std::array<std::string_view, 2> kKeys = {"pwd", "password"};
  const std::string lower = ToLowerAscii(text);
  std::string masked;
  std::size_t copied = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (at > 0 && !IsKeyBoundary(text[at - 1])) continue;
    for (const std::string_view key : kKeys) {
      if (lower.compare(at, key.size(), key) != 0) continue;
      std::size_t equals = at + key.size();
      while (equals < text.size() && text[equals] == ' ')
        ++equals;
      if (equals >= text.size() || text[equals] != '=') continue;
      std::size_t value = equals + 1;
      while (value < text.size() && text[value] == ' ')
        ++value;
      const std::size_t end = ValueEnd(text, value);
      masked.append(text.substr(copied, value - copied));
      masked.append(kMaskedSecret);
      copied = end;
      at = end > at ? end - 1 : at;
      break;
    }
  }
  masked.append(text.substr(copied));
  return masked;
}

}  // namespace tablift
