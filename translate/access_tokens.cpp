#include "translate/access_tokens.h"

#include <cctype>
#include <cstdio>

#include "data_access/ascii_text.h"
#include "data_access/calendar.h"

namespace tablift {
namespace {

bool NameChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c >= 0x80;
}

bool Digits(std::string_view text, std::size_t min, std::size_t max, int& value) {
  if (text.size() < min || text.size() > max) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

// The text between the #s of an Access date literal (US order m/d/y, or
// ISO y-m-d, with an optional time) as "yyyy-mm-dd hh:mm:ss".
std::string DateLiteral(std::string_view text) {
  const auto fail = [&]() -> std::string {
    throw Untranslatable{"the date #" + std::string(text) + "# is not understood"};
  };
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  std::string_view datePart = text;
  std::string_view timePart;
  const std::size_t blank = text.find(' ');
  if (blank != std::string_view::npos) {
    datePart = text.substr(0, blank);
    timePart = text.substr(blank + 1);
  }
  // A time alone is a time on Access's day zero.
  if (datePart.find(':') != std::string_view::npos) {
    timePart = text;
    datePart = "1899-12-30";
  }
  int year = 0, month = 0, day = 0;
  if (datePart.find('/') != std::string_view::npos) {
    const auto parts = SplitAt(datePart, '/');
    if (parts.size() != 3 || !Digits(parts[0], 1, 2, month) || !Digits(parts[1], 1, 2, day))
      return fail();
    if (Digits(parts[2], 4, 4, year)) {
    } else if (Digits(parts[2], 1, 2, year)) {
      year += year < 30 ? 2000 : 1900;
    } else {
      return fail();
    }
  } else {
    const auto parts = SplitAt(datePart, '-');
    if (parts.size() != 3 || !Digits(parts[0], 4, 4, year) || !Digits(parts[1], 1, 2, month) ||
        !Digits(parts[2], 1, 2, day))
      return fail();
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return fail();
  int hour = 0, minute = 0, second = 0;
  if (!timePart.empty()) {
    bool pm = false, am = false;
    const std::size_t marker = timePart.find(' ');
    if (marker != std::string_view::npos) {
      const std::string_view suffix = timePart.substr(marker + 1);
      pm = EqualsIgnoreCase(suffix, "PM");
      am = EqualsIgnoreCase(suffix, "AM");
      if (!pm && !am) return fail();
      timePart = timePart.substr(0, marker);
    }
    const auto parts = SplitAt(timePart, ':');
    if (parts.size() < 2 || parts.size() > 3 || !Digits(parts[0], 1, 2, hour) ||
        !Digits(parts[1], 1, 2, minute) || (parts.size() == 3 && !Digits(parts[2], 1, 2, second)))
      return fail();
    if ((am || pm) && (hour < 1 || hour > 12)) return fail();
    if (pm && hour < 12) hour += 12;
    if (am && hour == 12) hour = 0;
    if (hour > 23 || minute > 59 || second > 59) return fail();
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                minute, second);
  return buffer;
}

}  // namespace

bool IsWord(const Token& token, std::string_view word) {
  if (token.kind != TokenKind::Word) return false;
  return EqualsIgnoreCase(token.text, word);
}

std::vector<Token> TokenizeAccessSql(std::string_view text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t begin = i;
    if (std::isspace(c)) {
      ++i;
    } else if (c == '[') {
      const std::size_t close = text.find(']', i + 1);
      if (close == std::string_view::npos) throw Untranslatable{"a [ is not closed"};
      tokens.push_back(
          {TokenKind::Bracketed, std::string(text.substr(i + 1, close - i - 1)), begin});
      i = close + 1;
    } else if (c == '"' || c == '\'') {
      std::string value;
      std::size_t j = i + 1;
      while (true) {
        if (j >= text.size()) throw Untranslatable{"a string is not closed"};
        if (text[j] == static_cast<char>(c)) {
          if (j + 1 < text.size() && text[j + 1] == static_cast<char>(c)) {
            value.push_back(static_cast<char>(c));
            j += 2;
            continue;
          }
          break;
        }
        value.push_back(text[j++]);
      }
      tokens.push_back({TokenKind::String, value, begin});
      i = j + 1;
    } else if (c == '#') {
      const std::size_t close = text.find('#', i + 1);
      if (close == std::string_view::npos) throw Untranslatable{"a date # is not closed"};
      tokens.push_back({TokenKind::Date, DateLiteral(text.substr(i + 1, close - i - 1)), begin});
      i = close + 1;
    } else if (std::isdigit(c) || (c == '.' && i + 1 < text.size() &&
                                   std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
      std::size_t end = i;
      while (end < text.size() &&
             (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.'))
        ++end;
      if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && std::isdigit(static_cast<unsigned char>(text[exponent]))) {
          end = exponent;
          while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        }
      }
      if (end < text.size() && NameChar(static_cast<unsigned char>(text[end])))
        throw Untranslatable{"the number " + std::string(text.substr(i, end + 1 - i)) +
                             " is not understood"};
      tokens.push_back({TokenKind::Number, std::string(text.substr(i, end - i)), begin});
      i = end;
    } else if (NameChar(c)) {
      std::size_t end = i;
      while (end < text.size() && NameChar(static_cast<unsigned char>(text[end])))
        ++end;
      // VBA's typed names (Left$, Mid$) are the same functions.
      if (end < text.size() && text[end] == '$') ++end;
      tokens.push_back({TokenKind::Word, std::string(text.substr(i, end - i)), begin});
      i = end;
    } else if (c == '<' || c == '>') {
      std::size_t end = i + 1;
      if (end < text.size() && (text[end] == '=' || (c == '<' && text[end] == '>'))) ++end;
      tokens.push_back({TokenKind::Symbol, std::string(text.substr(i, end - i)), begin});
      i = end;
    } else if (std::string_view("(),.;&+-*/\\^=!?").find(static_cast<char>(c)) !=
               std::string_view::npos) {
      tokens.push_back({TokenKind::Symbol, std::string(1, static_cast<char>(c)), begin});
      ++i;
    } else {
      throw Untranslatable{"the character " + std::string(1, static_cast<char>(c)) +
                           " is not understood"};
    }
  }
  tokens.push_back({TokenKind::End, {}, text.size()});
  return tokens;
}

}  // namespace tablift
