// Text functions: Len, Left, Right, Mid, UCase, LCase, Trim, LTrim, RTrim,
// InStr, InStrRev, Replace, Space, String, StrReverse, StrComp, StrConv, Chr,
// Asc.
// Positions and lengths count characters, not bytes.

#include <algorithm>

#include "data_access/jet/sql/builtin_functions.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/jet/sql/utf8_text.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

constexpr std::int64_t kMaxTextLength = 1 << 30;

std::int64_t NonNegative(std::int64_t value) {
  if (value < 0) InvalidArgument();
  return value;
}

std::int64_t Positive(std::int64_t value) {
  if (value < 1) InvalidArgument();
  return value;
}

std::u32string Prepare(const std::string& text, bool binary) {
  return binary ? DecodeUtf8(text) : FoldText(text);
}

// 0-based index of `needle` in `haystack` from `from`, or npos.
std::size_t Find(const std::u32string& haystack, const std::u32string& needle, std::size_t from) {
  if (from > haystack.size()) return std::u32string::npos;
  return haystack.find(needle, from);
}

Value Len(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return Null{};
  return static_cast<std::int64_t>(Utf8Length(TextOf(v)));
}

Value Left(ArgumentList& a) {
  const Value v = a.evaluate(0);
  const std::int64_t n = NonNegative(IntegerArgument(a, 1));
  if (IsNull(v)) return Null{};
  return Utf8Substring(TextOf(v), 0, static_cast<std::size_t>(n));
}

Value Right(ArgumentList& a) {
  const Value v = a.evaluate(0);
  const std::int64_t n = NonNegative(IntegerArgument(a, 1));
  if (IsNull(v)) return Null{};
  const std::string text = TextOf(v);
  const std::size_t length = Utf8Length(text);
  const std::size_t count = std::min(length, static_cast<std::size_t>(n));
  return Utf8Substring(text, length - count, count);
}

Value Mid(ArgumentList& a) {
  const Value v = a.evaluate(0);
  const std::int64_t start = Positive(IntegerArgument(a, 1));
  std::int64_t count = kMaxTextLength;
  if (a.size() > 2) count = NonNegative(IntegerArgument(a, 2));
  if (IsNull(v)) return Null{};
  return Utf8Substring(TextOf(v), static_cast<std::size_t>(start - 1),
                       static_cast<std::size_t>(count));
}

Value UCase(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return Null{};
  return ToUpperText(TextOf(v));
}

// StrConv(text, 1 upper | 2 lower | 3 first letter of each word upper);
// the conversions between byte and Unicode forms leave the text as it is.
Value StrConv(ArgumentList& a) {
  const Value v = a.evaluate(0);
  const std::int64_t conversion = IntegerArgument(a, 1);
  if (IsNull(v)) return Null{};
  const std::string text = TextOf(v);
  switch (conversion) {
    case 1:
      return ToUpperText(text);
    case 2:
      return ToLowerText(text);
    case 3: {
      std::u32string characters = DecodeUtf8(text);
      bool wordStart = true;
      for (char32_t& c : characters) {
        const bool separator = c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f' ||
                               c == U'\v' || c == U'\0';
        c = wordStart ? ToUpperChar(c) : ToLowerChar(c);
        wordStart = separator;
      }
      return EncodeUtf8(characters);
    }
    case 64:
    case 128:
      return text;
    default:
      InvalidArgument();
  }
}

Value LCase(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return Null{};
  return ToLowerText(TextOf(v));
}

// Trim and its kin remove blanks (U+0020) only, as in Access.
Value TrimSides(ArgumentList& a, bool left, bool right) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) return Null{};
  const std::string text = TextOf(v);
  std::size_t first = 0, last = text.size();
  if (left) {
    while (first < last && text[first] == ' ')
      ++first;
  }
  if (right) {
    while (last > first && text[last - 1] == ' ')
      --last;
  }
  return text.substr(first, last - first);
}

Value Trim(ArgumentList& a) {
  return TrimSides(a, true, true);
}
Value LTrim(ArgumentList& a) {
  return TrimSides(a, true, false);
}
Value RTrim(ArgumentList& a) {
  return TrimSides(a, false, true);
}

// InStr([start,] text, sought[, compare]): the 1-based position, 0 when absent.
Value InStr(ArgumentList& a) {
  std::size_t index = 0;
  std::int64_t start = 1;
  if (a.size() >= 3) {
    start = Positive(IntegerArgument(a, 0));
    index = 1;
  }
  const Value text = a.evaluate(index);
  const Value sought = a.evaluate(index + 1);
  const bool binary = a.size() == 4 && BinaryCompareArgument(a, 3);
  if (IsNull(text) || IsNull(sought)) return Null{};
  const std::u32string haystack = Prepare(TextOf(text), binary);
  const std::u32string needle = Prepare(TextOf(sought), binary);
  if (haystack.empty()) return std::int64_t{0};
  if (static_cast<std::size_t>(start) > haystack.size()) return std::int64_t{0};
  if (needle.empty()) return start;
  const std::size_t found = Find(haystack, needle, static_cast<std::size_t>(start - 1));
  return found == std::u32string::npos ? std::int64_t{0} : static_cast<std::int64_t>(found + 1);
}

// InStrRev(text, sought[, start[, compare]]): searching backwards from start.
Value InStrRev(ArgumentList& a) {
  const Value text = a.evaluate(0);
  const Value sought = a.evaluate(1);
  std::int64_t start = a.size() > 2 ? IntegerArgument(a, 2) : -1;
  if (start == 0 || start < -1) InvalidArgument();
  const bool binary = BinaryCompareArgument(a, 3);
  if (IsNull(text) || IsNull(sought)) return Null{};
  const std::u32string haystack = Prepare(TextOf(text), binary);
  const std::u32string needle = Prepare(TextOf(sought), binary);
  if (start == -1) start = static_cast<std::int64_t>(haystack.size());
  if (haystack.empty() || static_cast<std::size_t>(start) > haystack.size()) {
    return std::int64_t{0};
  }
  if (needle.empty()) return start;
  if (needle.size() > static_cast<std::size_t>(start)) return std::int64_t{0};
  const std::size_t found = haystack.rfind(needle, static_cast<std::size_t>(start) - needle.size());
  return found == std::u32string::npos ? std::int64_t{0} : static_cast<std::int64_t>(found + 1);
}

// Replace(text, find, with[, start[, count[, compare]]]): like Access, the
// result begins at `start`. Null text gives Null.
Value Replace(ArgumentList& a) {
  const Value text = a.evaluate(0);
  const Value find = a.evaluate(1);
  const Value with = a.evaluate(2);
  const std::int64_t start = a.size() > 3 ? Positive(IntegerArgument(a, 3)) : 1;
  const std::int64_t count = a.size() > 4 ? IntegerArgument(a, 4) : -1;
  if (count < -1) InvalidArgument();
  const bool binary = BinaryCompareArgument(a, 5);
  if (IsNull(text)) return Null{};
  if (IsNull(find) || IsNull(with)) throw EvaluationError("Invalid use of Null");
  const std::u32string original = DecodeUtf8(TextOf(text));
  if (static_cast<std::size_t>(start) > original.size()) return std::string();
  const std::u32string source = original.substr(static_cast<std::size_t>(start - 1));
  const std::u32string sought = DecodeUtf8(TextOf(find));
  const std::u32string replacement = DecodeUtf8(TextOf(with));
  if (sought.empty() || count == 0) return EncodeUtf8(source);
  const std::u32string haystack = binary ? source : FoldText(EncodeUtf8(source));
  const std::u32string needle = binary ? sought : FoldText(TextOf(find));
  std::u32string result;
  std::size_t position = 0;
  std::int64_t done = 0;
  while (count == -1 || done < count) {
    const std::size_t found = haystack.find(needle, position);
    if (found == std::u32string::npos) break;
    result.append(source, position, found - position);
    result += replacement;
    position = found + needle.size();
    ++done;
  }
  result.append(source, position, std::u32string::npos);
  return EncodeUtf8(result);
}

Value Space(ArgumentList& a) {
  const std::int64_t n = NonNegative(IntegerArgument(a, 0));
  if (n > kMaxTextLength) InvalidArgument();
  return std::string(static_cast<std::size_t>(n), ' ');
}

// String(n, character): the character as text (its first character) or as a
// character code.
Value StringOf(ArgumentList& a) {
  const std::int64_t n = NonNegative(IntegerArgument(a, 0));
  if (n > kMaxTextLength) InvalidArgument();
  const Value c = a.evaluate(1);
  if (IsNull(c)) return Null{};
  char32_t character = 0;
  if (const auto* text = std::get_if<std::string>(&c)) {
    const std::u32string decoded = DecodeUtf8(*text);
    if (decoded.empty()) InvalidArgument();
    character = decoded[0];
  } else {
    const std::int64_t code = ToInteger(c);
    if (code < 0 || code > 0x10FFFF) InvalidArgument();
    character = static_cast<char32_t>(code);
  }
  std::string one;
  AppendUtf8(one, character);
  std::string result;
  result.reserve(one.size() * static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i)
    result += one;
  return result;
}

Value StrReverse(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) throw EvaluationError("Invalid use of Null");
  std::u32string decoded = DecodeUtf8(TextOf(v));
  std::reverse(decoded.begin(), decoded.end());
  return EncodeUtf8(decoded);
}

Value StrComp(ArgumentList& a) {
  const Value x = a.evaluate(0);
  const Value y = a.evaluate(1);
  const bool binary = BinaryCompareArgument(a, 2);
  if (IsNull(x) || IsNull(y)) return Null{};
  const std::string tx = TextOf(x), ty = TextOf(y);
  int c = 0;
  if (binary) {
    const std::u32string dx = DecodeUtf8(tx), dy = DecodeUtf8(ty);
    c = dx < dy ? -1 : (dy < dx ? 1 : 0);
  } else {
    c = CompareText(tx, ty);
  }
  return static_cast<std::int64_t>(c < 0 ? -1 : (c > 0 ? 1 : 0));
}

// Chr(code): the character with that Unicode code (codes below 128 are ASCII
// either way).
Value Chr(ArgumentList& a) {
  const std::int64_t code = IntegerArgument(a, 0);
  if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) InvalidArgument();
  std::string text;
  AppendUtf8(text, static_cast<char32_t>(code));
  return text;
}

Value Asc(ArgumentList& a) {
  const Value v = a.evaluate(0);
  if (IsNull(v)) throw EvaluationError("Invalid use of Null");
  const std::u32string decoded = DecodeUtf8(TextOf(v));
  if (decoded.empty()) InvalidArgument();
  return static_cast<std::int64_t>(decoded[0]);
}

constexpr FunctionDef kTextFunctions[] = {
    {"Len", 1, 1, Len, FixedType<JetType::Long>},
    {"Left", 2, 2, Left, TextResult},
    {"Right", 2, 2, Right, TextResult},
    {"Mid", 2, 3, Mid, TextResult},
    {"UCase", 1, 1, UCase, TextResult},
    {"LCase", 1, 1, LCase, TextResult},
    {"Trim", 1, 1, Trim, TextResult},
    {"LTrim", 1, 1, LTrim, TextResult},
    {"RTrim", 1, 1, RTrim, TextResult},
    {"InStr", 2, 4, InStr, FixedType<JetType::Long>},
    {"InStrRev", 2, 4, InStrRev, FixedType<JetType::Long>},
    {"Replace", 3, 6, Replace, TextResult},
    {"Space", 1, 1, Space, TextResult},
    {"String", 2, 2, StringOf, TextResult},
    {"StrReverse", 1, 1, StrReverse, TextResult},
    {"StrComp", 2, 3, StrComp, FixedType<JetType::Long>},
    {"Chr", 1, 1, Chr, TextResult},
    {"ChrW", 1, 1, Chr, TextResult},
    {"Asc", 1, 1, Asc, FixedType<JetType::Long>},
    {"AscW", 1, 1, Asc, FixedType<JetType::Long>},
    {"StrConv", 2, 3, StrConv, TextResult},
};

}  // namespace

std::span<const FunctionDef> TextFunctions() {
  return kTextFunctions;
}

}  // namespace tablift::jet
