#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The engine's own types, declared here so that users of this header do not
// depend on its header.
struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

namespace tablift {

// One match inside a subject; group 0 is the whole match.
class RegexMatch {
 public:
  RegexMatch(std::string_view subject, const std::size_t* offsets, std::size_t group_count)
      : subject_(subject), offsets_(offsets), group_count_(group_count) {}

  std::size_t start() const { return offsets_[0]; }
  std::size_t end() const { return offsets_[1]; }
  std::size_t group_count() const { return group_count_; }
  // The text of group number (0..group_count()); empty when the group did not
  // take part in the match.
  std::string_view Group(std::size_t number) const;
  std::string_view Before() const { return subject_.substr(0, start()); }
  std::string_view After() const { return subject_.substr(end()); }

 private:
  std::string_view subject_;
  const std::size_t* offsets_;
  std::size_t group_count_;
};

// A pattern compiled in the VBScript RegExp dialect the system's patterns are
// written in: case-sensitive, "$" only at the very end of the text, "." any
// character but the line feed, "\s" including the line feed, "\w" ASCII only,
// UTF-8 text that may contain invalid sequences.
class CompiledRegex {
 public:
  // No value when the pattern cannot be compiled.
  static std::unique_ptr<CompiledRegex> Compile(std::string_view pattern);
  ~CompiledRegex();
  CompiledRegex(const CompiledRegex&) = delete;
  CompiledRegex& operator=(const CompiledRegex&) = delete;

  std::size_t group_count() const { return group_count_; }

  // Calls on_match for every match from left to right, as a global search
  // does. Gives the engine's failure text when matching had to stop early.
  std::optional<std::string> ForEachMatch(
      std::string_view subject, const std::function<void(const RegexMatch&)>& on_match) const;

 private:
  CompiledRegex(pcre2_real_code_8* code, pcre2_real_match_data_8* match_data,
                std::size_t group_count)
      : code_(code), match_data_(match_data), group_count_(group_count) {}

  pcre2_real_code_8* code_;
  pcre2_real_match_data_8* match_data_;
  std::size_t group_count_;
};

// The compiled form of pattern from a small per-thread cache, since patterns
// are applied per value during row transfer; nullptr when it cannot be
// compiled. The pointer stays valid until the next call on the same thread.
const CompiledRegex* CachedRegex(std::string_view pattern);

}  // namespace tablift
