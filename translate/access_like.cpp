#include "translate/access_like.h"

#include "mysql/sql_literals.h"

namespace tablift {
namespace {

// One piece of a parsed pattern.
struct PatternPart {
  enum Kind { Literal, AnyOne, AnyText, Digit, List } kind = Literal;
  std::string text;  // Literal: the character(s); List: the list's MySQL regexp form
};

bool RegexpMeta(char c) {
  return std::string_view("\\.^$|()[]{}*+?").find(c) != std::string_view::npos;
}

std::vector<PatternPart> ParsePattern(const std::string& pattern) {
  std::vector<PatternPart> parts;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '*') {
      parts.push_back({PatternPart::AnyText, {}});
    } else if (c == '?') {
      parts.push_back({PatternPart::AnyOne, {}});
    } else if (c == '#') {
      parts.push_back({PatternPart::Digit, {}});
    } else if (c == '[') {
      const std::size_t close = pattern.find(']', i + 1);
      if (close == std::string::npos)
        throw Untranslatable{"the Like pattern \"" + pattern + "\" has a [ without ]"};
      std::string list = pattern.substr(i + 1, close - i - 1);
      i = close;
      const bool negated = !list.empty() && list.front() == '!';
      if (negated) list.erase(0, 1);
      if (list.empty()) {
        if (negated) {
          parts.push_back({PatternPart::Literal, "!"});
          continue;
        }
        throw Untranslatable{"the Like pattern \"" + pattern + "\" has an empty []"};
      }
      // [*], [?], [#], [[] stand for the character itself.
      if (!negated && list.size() == 1) {
        parts.push_back({PatternPart::Literal, list});
        continue;
      }
      std::string regexp = negated ? "[^" : "[";
      for (std::size_t j = 0; j < list.size(); ++j) {
        const char d = list[j];
        if (d == '-' && j > 0 && j + 1 < list.size()) {
          regexp.push_back('-');
          continue;
        }
        if (d == '\\' || d == '^' || d == ']' || d == '[' || d == '-') regexp.push_back('\\');
        regexp.push_back(d);
      }
      parts.push_back({PatternPart::List, regexp + "]"});
    } else {
      parts.push_back({PatternPart::Literal, std::string(1, c)});
    }
  }
  return parts;
}

bool LikeAlone(const std::vector<PatternPart>& parts) {
  for (const PatternPart& part : parts)
    if (part.kind == PatternPart::Digit || part.kind == PatternPart::List) return false;
  return true;
}

std::string LikeText(const std::vector<PatternPart>& parts) {
  std::string text;
  for (const PatternPart& part : parts) {
    switch (part.kind) {
      case PatternPart::AnyText:
        text += '%';
        break;
      case PatternPart::AnyOne:
        text += '_';
        break;
      default:
        for (const char c : part.text) {
          if (c == '%' || c == '_' || c == '\\') text += '\\';
          text += c;
        }
    }
  }
  return text;
}

std::string RegexpText(const std::vector<PatternPart>& parts) {
  std::string text;
  for (const PatternPart& part : parts) {
    switch (part.kind) {
      case PatternPart::AnyText:
        text += ".*";
        break;
      case PatternPart::AnyOne:
        text += '.';
        break;
      case PatternPart::Digit:
        text += "[0-9]";
        break;
      case PatternPart::List:
        text += part.text;
        break;
      case PatternPart::Literal:
        for (const char c : part.text) {
          if (RegexpMeta(c)) text += '\\';
          text += c;
        }
    }
  }
  return text;
}

// A value's text read as an Access pattern, turned into regexp text while
// the query runs. A Null piece of an & run is empty text; a Null pattern
// stays Null, and so does the match.
std::string RuntimeRegexp(const std::string& value, bool piece) {
  std::string sql = piece ? "IFNULL(" + value + ", '')" : value;
  sql = "REGEXP_REPLACE(" + sql + ", '([.\\\\\\\\^$|(){}+])', '\\\\\\\\\\\\1')";
  sql = "REPLACE(" + sql + ", '*', '.*')";
  sql = "REPLACE(" + sql + ", '?', '.')";
  sql = "REPLACE(" + sql + ", '#', '[0-9]')";
  sql = "REPLACE(" + sql + ", '[!', '[^')";
  return sql;
}

}  // namespace

std::string LikeCondition(const std::string& value, const Operand& pattern, bool negated) {
  const std::string matches = negated ? " NOT " : " ";
  if (pattern.text) {
    const std::vector<PatternPart> parts = ParsePattern(*pattern.text);
    if (LikeAlone(parts)) return value + matches + "LIKE " + StringLiteral(LikeText(parts));
    return value + matches + "REGEXP " + StringLiteral("(?is)^" + RegexpText(parts) + "$");
  }
  const bool joined = !pattern.pieces.empty();
  std::vector<Operand> pieces = pattern.pieces;
  if (!joined) pieces.push_back(pattern);
  std::string concat = "CONCAT('(?is)^'";
  for (const Operand& piece : pieces) {
    if (piece.text) {
      concat += ", " + StringLiteral(RegexpText(ParsePattern(*piece.text)));
    } else {
      concat += ", " + RuntimeRegexp(piece.sql, joined);
    }
  }
  concat += ", '$')";
  return value + matches + "REGEXP " + concat;
}

}  // namespace tablift
