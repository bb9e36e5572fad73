#include "translate/access_expression.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "mysql/sql_literals.h"

namespace tablift {
namespace {

enum class Kind { Space, Name, Text, Other, Open, Close, Comma, Ampersand, Comparison };

struct Token {
  Kind kind;
  std::string text;         // the MySQL spelling
  std::string raw;          // a string's value, a bare name as written
  std::string castTo = {};  // an Open token: its group becomes CAST(... AS castTo)
};

struct Untranslatable {
  std::string problem;
};

bool NameChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c >= 0x80;
}

bool Is(const Token& token, const char* word) {
  if (token.kind != Kind::Name) return false;
  const std::string_view text = token.raw;
  const std::string_view wanted = word;
  return std::equal(text.begin(), text.end(), wanted.begin(), wanted.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
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

// An Access date literal (the text between the #) as a MySQL literal.
std::string DateLiteral(std::string_view text) {
  const auto fail = [&]() -> std::string {
    throw Untranslatable{"the date #" + std::string(text) + "# is not understood"};
  };
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  const std::size_t blank = text.find(' ');
  const std::string_view datePart = text.substr(0, blank);
  std::string_view timePart =
      blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
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
  if (month < 1 || month > 12 || day < 1 || day > 31) return fail();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "'%04d-%02d-%02d", year, month, day);
  std::string literal = buffer;
  if (!timePart.empty()) {
    int hour = 0, minute = 0, second = 0;
    bool pm = false, am = false;
    const std::size_t marker = timePart.find(' ');
    if (marker != std::string_view::npos) {
      const std::string_view suffix = timePart.substr(marker + 1);
      pm = suffix == "PM" || suffix == "pm";
      am = suffix == "AM" || suffix == "am";
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
    std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", hour, minute, second);
    literal += buffer;
  }
  return literal + "'";
}

// An Access Like pattern as a MySQL one: * and ? become % and _, while a %
// or _ of the pattern stays a plain character.
std::string LikePattern(const std::string& pattern) {
  std::string converted;
  for (const char c : pattern) {
    if (c == '[' || c == '#')
      throw Untranslatable{"the Like pattern \"" + pattern + "\" uses [ ] or #"};
    if (c == '*') {
      converted.push_back('%');
    } else if (c == '?') {
      converted.push_back('_');
    } else if (c == '%' || c == '_' || c == '\\') {
      converted.push_back('\\');
      converted.push_back(c);
    } else {
      converted.push_back(c);
    }
  }
  return StringLiteral(converted);
}

std::vector<Token> Tokenize(std::string_view text, const NameMapping& names) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isspace(c)) {
      std::size_t end = i;
      while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end])))
        ++end;
      tokens.push_back({Kind::Space, std::string(text.substr(i, end - i)), {}});
      i = end;
    } else if (c == '[') {
      const std::size_t close = text.find(']', i + 1);
      if (close == std::string_view::npos) throw Untranslatable{"a [ is not closed"};
      const std::string name(text.substr(i + 1, close - i - 1));
      tokens.push_back({Kind::Other, QuoteIdentifier(names ? names(name) : name), name});
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
      tokens.push_back({Kind::Text, StringLiteral(value), value});
      i = j + 1;
    } else if (c == '#') {
      const std::size_t close = text.find('#', i + 1);
      if (close == std::string_view::npos) throw Untranslatable{"a date # is not closed"};
      tokens.push_back({Kind::Other, DateLiteral(text.substr(i + 1, close - i - 1)), {}});
      i = close + 1;
    } else if (NameChar(c) && !std::isdigit(c)) {
      std::size_t end = i;
      while (end < text.size() && NameChar(static_cast<unsigned char>(text[end])))
        ++end;
      const std::string word(text.substr(i, end - i));
      tokens.push_back({Kind::Name, word, word});
      i = end;
    } else if (std::isdigit(c) || c == '.') {
      std::size_t end = i;
      while (end < text.size() &&
             (NameChar(static_cast<unsigned char>(text[end])) || text[end] == '.'))
        ++end;
      tokens.push_back({Kind::Other, std::string(text.substr(i, end - i)), {}});
      i = end;
    } else if (c == '(') {
      tokens.push_back({Kind::Open, "(", {}});
      ++i;
    } else if (c == ')') {
      tokens.push_back({Kind::Close, ")", {}});
      ++i;
    } else if (c == ',') {
      tokens.push_back({Kind::Comma, ",", {}});
      ++i;
    } else if (c == '&') {
      tokens.push_back({Kind::Ampersand, "&", {}});
      ++i;
    } else if (c == '!') {
      throw Untranslatable{"it refers to a form or report (!), which MySQL cannot see"};
    } else if (c == '^') {
      throw Untranslatable{"the ^ operator means exclusive or in MySQL"};
    } else if (c == '\\') {
      throw Untranslatable{"the \\ operator (integer division) has no exact MySQL equivalent"};
    } else if (c == '<' || c == '>' || c == '=') {
      std::size_t end = i + 1;
      if (end < text.size() && (text[end] == '>' || text[end] == '=')) ++end;
      tokens.push_back({Kind::Comparison, std::string(text.substr(i, end - i)), {}});
      i = end;
    } else {
      tokens.push_back({Kind::Other, std::string(1, static_cast<char>(c)), {}});
      ++i;
    }
  }
  return tokens;
}

std::size_t NextSolid(const std::vector<Token>& tokens, std::size_t i) {
  while (i < tokens.size() && tokens[i].kind == Kind::Space)
    ++i;
  return i;
}

// Function names and Like patterns.
void RewriteWords(std::vector<Token>& tokens) {
  static const std::pair<const char*, const char*> kFunctions[] = {
      {"IIf", "IF"},      {"Nz", "IFNULL"},   {"Len", "CHAR_LENGTH"},
      {"UCase", "UPPER"}, {"LCase", "LOWER"},
  };
  // Conversions whose MySQL form wraps the argument.
  static const std::pair<const char*, const char*> kConversions[] = {
      {"CCur", "DECIMAL(19,4)"},
      {"CDbl", "DOUBLE"},
      {"CStr", "CHAR"},
  };
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    Token& token = tokens[i];
    if (token.kind != Kind::Name) continue;
    // Access's Yes/No constants.
    if (Is(token, "Yes") || Is(token, "True")) token.text = "TRUE";
    if (Is(token, "No") || Is(token, "False")) token.text = "FALSE";
    const std::size_t next = NextSolid(tokens, i + 1);
    const bool call = next < tokens.size() && tokens[next].kind == Kind::Open;
    if (call) {
      for (const auto& [access, mysql] : kFunctions) {
        if (Is(token, access)) token.text = mysql;
      }
      for (const auto& [access, type] : kConversions) {
        if (Is(token, access)) {
          token.text.clear();
          tokens[next].castTo = type;
        }
      }
      const std::size_t close = NextSolid(tokens, next + 1);
      if (Is(token, "Date") && close < tokens.size() && tokens[close].kind == Kind::Close)
        token.text = "CURDATE";
    }
    if (Is(token, "Like") && next < tokens.size() && tokens[next].kind == Kind::Text)
      tokens[next].text = LikePattern(tokens[next].raw);
  }
}

bool Boundary(const Token& token) {
  if (token.kind == Kind::Comparison || token.kind == Kind::Comma) return true;
  for (const char* word : {"And", "Or", "Not", "Xor", "Eqv", "Imp", "Like", "Between", "In", "Is"})
    if (Is(token, word)) return true;
  return false;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Renders tokens[i...] up to the Close that ends the current level (or the
// end), turning each run of operands joined by & into CONCAT_WS. & binds
// more loosely than arithmetic and more tightly than comparisons and logic,
// so such a run ends at a comparison, a logical word, a comma or the end of
// the level.
std::string RenderLevel(const std::vector<Token>& tokens, std::size_t& i) {
  std::string out;
  std::vector<std::string> operands;  // of the current & run
  std::string segment;                // text since the last boundary or &
  const auto closeSegment = [&] {
    if (operands.empty()) {
      out += segment;
    } else {
      operands.push_back(Trimmed(segment));
      std::string concat = "CONCAT_WS(''";
      for (const std::string& operand : operands)
        concat += ", " + operand;
      concat += ")";
      const bool trailingBlank = !segment.empty() && segment.back() == ' ';
      out += concat;
      if (trailingBlank) out += ' ';
      operands.clear();
    }
    segment.clear();
  };
  while (i < tokens.size()) {
    const Token& token = tokens[i];
    if (token.kind == Kind::Close) break;
    if (token.kind == Kind::Open) {
      const std::string castTo = token.castTo;
      ++i;
      const std::string inner = RenderLevel(tokens, i);
      if (i >= tokens.size()) throw Untranslatable{"a ( is not closed"};
      segment += castTo.empty() ? "(" + inner + ")" : "CAST(" + inner + " AS " + castTo + ")";
      ++i;
      continue;
    }
    if (token.kind == Kind::Ampersand) {
      if (operands.empty()) {
        // The run starts here: what came before in the segment is its first
        // operand, blanks before it stay outside.
        const std::size_t first = segment.find_first_not_of(" \t\r\n");
        out += segment.substr(0, first == std::string::npos ? segment.size() : first);
        segment = first == std::string::npos ? std::string() : segment.substr(first);
      }
      operands.push_back(Trimmed(segment));
      segment.clear();
      ++i;
      continue;
    }
    if (Boundary(token)) {
      closeSegment();
      out += token.text;
      ++i;
      continue;
    }
    segment += token.text;
    ++i;
  }
  closeSegment();
  return out;
}

}  // namespace

TranslatedExpression TranslateAccessExpression(std::string_view expression,
                                               const NameMapping& names) {
  TranslatedExpression result;
  try {
    std::vector<Token> tokens = Tokenize(expression, names);
    RewriteWords(tokens);
    std::size_t i = 0;
    result.text = RenderLevel(tokens, i);
    if (i < tokens.size()) throw Untranslatable{"a ) has no ("};
  } catch (const Untranslatable& failure) {
    result.ok = false;
    result.text.clear();
    result.problem = failure.problem;
  }
  return result;
}

}  // namespace tablift
