#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tablift::jet {

// A compiled Access Like pattern: * any run of characters, ? one character,
// # one digit 0-9, [abc] one of the listed characters, [a-z] one in the
// range, [!...] one not listed. [*], [?], [#] and [[] stand for the
// character itself; "]" outside a list and "-" at either end of a list are
// ordinary characters. Matching ignores case (letters are lowered by
// ToLowerChar, so [a-z] also takes "Q" and "ä" matches "Ä"; accented letters
// are not inside [a-z]). The whole text must match.
class LikePattern {
 public:
  // Empty, with `error` set, for a malformed pattern (an unclosed "[", a
  // range whose ends are reversed).
  static std::optional<LikePattern> Compile(std::string_view pattern, std::string& error);

  bool matches(std::string_view text) const;

 private:
  struct Element {
    enum class Kind { Literal, AnyCharacter, AnyRun, Digit, List } kind;
    char32_t character = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // List: inclusive ranges
    bool accepts(char32_t c) const;
  };

  std::vector<Element> elements_;
};

}  // namespace tablift::jet
