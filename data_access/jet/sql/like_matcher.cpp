#include "data_access/jet/sql/like_matcher.h"

#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {

std::optional<LikePattern> LikePattern::Compile(std::string_view pattern, std::string& error) {
  const std::u32string p = FoldText(pattern);
  LikePattern compiled;
  for (std::size_t i = 0; i < p.size(); ++i) {
    Element element{Element::Kind::Literal, p[i], false, {}};
    switch (p[i]) {
      case U'*':
        element.kind = Element::Kind::AnyRun;
        // Consecutive stars match what one star matches.
        if (!compiled.elements_.empty() &&
            compiled.elements_.back().kind == Element::Kind::AnyRun) {
          continue;
        }
        break;
      case U'?':
        element.kind = Element::Kind::AnyCharacter;
        break;
      case U'#':
        element.kind = Element::Kind::Digit;
        break;
      case U'[': {
        std::size_t j = i + 1;
        element.kind = Element::Kind::List;
        if (j < p.size() && p[j] == U'!' && j + 1 < p.size() && p[j + 1] != U']') {
          element.negated = true;
          ++j;
        }
        while (j < p.size() && p[j] != U']') {
          const char32_t low = p[j];
          if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
            const char32_t high = p[j + 2];
            if (high < low) {
              error = "Invalid pattern string (reversed range)";
              return std::nullopt;
            }
            element.ranges.emplace_back(low, high);
            j += 3;
          } else {
            element.ranges.emplace_back(low, low);
            ++j;
          }
        }
        if (j >= p.size()) {
          error = "Invalid pattern string (unclosed '[')";
          return std::nullopt;
        }
        i = j;
        // "[]" matches nothing at all and stands for the empty text.
        if (element.ranges.empty() && !element.negated) continue;
        break;
      }
      default:
        break;
    }
    compiled.elements_.push_back(std::move(element));
  }
  return compiled;
}

bool LikePattern::Element::accepts(char32_t c) const {
  switch (kind) {
    case Kind::Literal:
      return c == character;
    case Kind::AnyCharacter:
      return true;
    case Kind::Digit:
      return c >= U'0' && c <= U'9';
    case Kind::List: {
      bool inside = false;
      for (const auto& [low, high] : ranges) {
        if (c >= low && c <= high) {
          inside = true;
          break;
        }
      }
      return inside != negated;
    }
    case Kind::AnyRun:
      break;
  }
  return false;
}

bool LikePattern::matches(std::string_view text) const {
  const std::u32string t = FoldText(text);
  // Every element but * takes exactly one character, so going back to the
  // last star and letting it take one more character finds a match if there
  // is one, in time proportional to text times pattern at worst.
  std::size_t ti = 0, pi = 0;
  std::size_t starElement = std::string::npos, starText = 0;
  while (ti < t.size()) {
    if (pi < elements_.size() && elements_[pi].kind == Element::Kind::AnyRun) {
      starElement = pi++;
      starText = ti;
    } else if (pi < elements_.size() && elements_[pi].accepts(t[ti])) {
      ++pi;
      ++ti;
    } else if (starElement != std::string::npos) {
      pi = starElement + 1;
      ti = ++starText;
    } else {
      return false;
    }
  }
  while (pi < elements_.size() && elements_[pi].kind == Element::Kind::AnyRun)
    ++pi;
  return pi == elements_.size();
}

}  // namespace tablift::jet
