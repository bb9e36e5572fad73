#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tablift {

// One choice of the character set dialog: the radio button's text and
// control id, the description beside it and the MySQL name it stands for.
struct CharsetChoice {
  std::string_view radio;
  int id;
  std::string_view description;
  std::string_view name;
};

// The choices in dialog order (top to bottom, left column first); a choice's
// position is its index. The first 36 are the classic MySQL character sets;
// "utf8mb4" follows them because MySQL's "utf8" holds no character beyond
// the Basic Multilingual Plane (emoji, rarer CJK), and every Access text must
// be able to arrive whole.
std::span<const CharsetChoice> CharsetChoices();

// The name of the choice at `index`, "UNKNOWN" outside the table.
std::string CharsetNameAt(int index);
// The index of the choice whose name is exactly `name` (case matters), -1
// when none is.
int CharsetIndexOf(std::string_view name);

}  // namespace tablift
