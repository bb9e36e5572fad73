#include "data_access/regex_service.h"

#include <optional>
#include <vector>

#include "data_access/compiled_regex.h"
#include "data_access/user_messages.h"

namespace tablift {
namespace {

constexpr const char* kFailureResult = "Error";

// A replacement text split once per call into literal text and references.
struct ReplacementPiece {
  enum class Kind { kLiteral, kGroup, kBefore, kAfter };
  Kind kind;
  std::string_view literal;  // kLiteral
  std::size_t group = 0;     // kGroup; 0 is the whole match ("$&")
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The JScript/VBScript reading of "$": two digits when they name an existing
// group, else one digit when that does, else the "$" is plain text.
std::vector<ReplacementPiece> ParseReplacement(std::string_view replacement,
                                               std::size_t group_count) {
  std::vector<ReplacementPiece> pieces;
  std::size_t literal_start = 0;
  auto add_literal = [&](std::size_t end) {
    if (end > literal_start) {
      pieces.push_back({ReplacementPiece::Kind::kLiteral,
                        replacement.substr(literal_start, end - literal_start)});
    }
  };
  std::size_t i = 0;
  while (i < replacement.size()) {
    if (replacement[i] != '$' || i + 1 == replacement.size()) {
      ++i;
      continue;
    }
    const char next = replacement[i + 1];
    std::optional<ReplacementPiece> reference;
    std::size_t consumed = 2;
    if (next == '$') {
      add_literal(i + 1);  // keeps one "$", drops the second
      literal_start = i + 2;
      i += 2;
      continue;
    }
    if (next == '&') {
      reference = ReplacementPiece{ReplacementPiece::Kind::kGroup, {}, 0};
    } else if (next == '`') {
      reference = ReplacementPiece{ReplacementPiece::Kind::kBefore, {}, 0};
    } else if (next == '\'') {
      reference = ReplacementPiece{ReplacementPiece::Kind::kAfter, {}, 0};
    } else if (IsDigit(next)) {
      const std::size_t one_digit = static_cast<std::size_t>(next - '0');
      if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
        const std::size_t two_digits =
            one_digit * 10 + static_cast<std::size_t>(replacement[i + 2] - '0');
        if (two_digits >= 1 && two_digits <= group_count) {
          reference = ReplacementPiece{ReplacementPiece::Kind::kGroup, {}, two_digits};
          consumed = 3;
        }
      }
      if (!reference && one_digit >= 1 && one_digit <= group_count) {
        reference = ReplacementPiece{ReplacementPiece::Kind::kGroup, {}, one_digit};
      }
    }
    if (!reference) {
      ++i;
      continue;
    }
    add_literal(i);
    pieces.push_back(*reference);
    i += consumed;
    literal_start = i;
  }
  add_literal(replacement.size());
  return pieces;
}

void AppendReplacement(const std::vector<ReplacementPiece>& pieces, const RegexMatch& match,
                       std::string& out) {
  for (const ReplacementPiece& piece : pieces) {
    switch (piece.kind) {
      case ReplacementPiece::Kind::kLiteral:
        out.append(piece.literal);
        break;
      case ReplacementPiece::Kind::kGroup:
        out.append(match.Group(piece.group));
        break;
      case ReplacementPiece::Kind::kBefore:
        out.append(match.Before());
        break;
      case ReplacementPiece::Kind::kAfter:
        out.append(match.After());
        break;
    }
  }
}

const CompiledRegex* RegexOrMessage(std::string_view pattern) {
  const CompiledRegex* regex = CachedRegex(pattern);
  if (regex == nullptr) ShowUserMessage("Can not create RegExp!");
  return regex;
}

// The patterns are fixed texts, so a failure here means the engine gave up on
// an extreme subject (a resource limit); the caller gets the same failure
// result as for a pattern that cannot be compiled, never a half-done text.
std::string MatchingFailed(const std::string& reason) {
  ShowUserMessage("RegExp failed: " + reason);
  return kFailureResult;
}

}  // namespace

std::string ReplaceAll(std::string_view source, std::string_view pattern,
                       std::string_view replacement) {
  const CompiledRegex* regex = RegexOrMessage(pattern);
  if (regex == nullptr) return kFailureResult;
  const std::vector<ReplacementPiece> pieces = ParseReplacement(replacement, regex->group_count());
  std::string result;
  result.reserve(source.size());
  std::size_t copied_up_to = 0;
  const std::optional<std::string> failure =
      regex->ForEachMatch(source, [&](const RegexMatch& match) {
        result.append(source.substr(copied_up_to, match.start() - copied_up_to));
        AppendReplacement(pieces, match, result);
        copied_up_to = match.end();
      });
  if (failure) return MatchingFailed(*failure);
  result.append(source.substr(copied_up_to));
  return result;
}

std::string FindLastMatch(std::string_view source, std::string_view pattern) {
  const CompiledRegex* regex = RegexOrMessage(pattern);
  if (regex == nullptr) return kFailureResult;
  std::string_view last;
  const std::optional<std::string> failure =
      regex->ForEachMatch(source, [&](const RegexMatch& match) { last = match.Group(0); });
  if (failure) return MatchingFailed(*failure);
  return std::string(last);
}

}  // namespace tablift
