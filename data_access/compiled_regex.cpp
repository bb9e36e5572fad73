#include "data_access/compiled_regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <map>

namespace tablift {
namespace {

// Enough for every fixed pattern of the program; a caller that cycles through
// more only loses the reuse, never correctness.
constexpr std::size_t kCachedPatternLimit = 64;

std::string EngineErrorText(int code) {
  PCRE2_UCHAR buffer[256];
  if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0) return "unknown matching error";
  return reinterpret_cast<const char*>(buffer);
}

bool IsUtf8ContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string_view RegexMatch::Group(std::size_t number) const {
  if (number > group_count_) return {};
  const std::size_t begin = offsets_[2 * number];
  const std::size_t end = offsets_[2 * number + 1];
  if (begin == PCRE2_UNSET || end == PCRE2_UNSET || end < begin) return {};
  return subject_.substr(begin, end - begin);
}

std::unique_ptr<CompiledRegex> CompiledRegex::Compile(std::string_view pattern) {
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  if (context == nullptr) return nullptr;
  // Only the line feed ends a line, as in the VBScript engine; the default
  // could be CR or CRLF depending on how the library was built.
  pcre2_set_newline(context, PCRE2_NEWLINE_LF);
  int error_code = 0;
  PCRE2_SIZE error_offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                   PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_DOLLAR_ENDONLY,
                                   &error_code, &error_offset, context);
  pcre2_compile_context_free(context);
  if (code == nullptr) return nullptr;
  pcre2_match_data* match_data = pcre2_match_data_create_from_pattern(code, nullptr);
  std::uint32_t capture_count = 0;
  if (match_data == nullptr ||
      pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &capture_count) != 0) {
    pcre2_match_data_free(match_data);
    pcre2_code_free(code);
    return nullptr;
  }
  return std::unique_ptr<CompiledRegex>(new CompiledRegex(code, match_data, capture_count));
}

CompiledRegex::~CompiledRegex() {
  pcre2_match_data_free(match_data_);
  pcre2_code_free(code_);
}

std::optional<std::string> CompiledRegex::ForEachMatch(
    std::string_view subject, const std::function<void(const RegexMatch&)>& on_match) const {
  const auto* text = reinterpret_cast<PCRE2_SPTR>(subject.data());
  const std::size_t length = subject.size();
  const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(match_data_);
  std::size_t position = 0;
  std::uint32_t options = 0;
  while (position <= length) {
    const int result = pcre2_match(code_, text, length, position, options, match_data_, nullptr);
    if (result == PCRE2_ERROR_NOMATCH) {
      if (options == 0) break;
      // Nothing but the empty match starts here: move on by one character,
      // never into the middle of one.
      ++position;
      while (position < length && IsUtf8ContinuationByte(subject[position]))
        ++position;
      options = 0;
      continue;
    }
    if (result < 0) return EngineErrorText(result);
    // Only \K inside an assertion can end a match before its start; going on
    // from there could loop for ever.
    if (offsets[1] < offsets[0]) return "match ends before it starts";
    on_match(RegexMatch(subject, offsets, group_count_));
    // After an empty match, first look for a non-empty one at the same place,
    // so that an empty match is neither repeated forever nor hides a longer one.
    options = offsets[1] == offsets[0] ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
    position = offsets[1];
  }
  return std::nullopt;
}

const CompiledRegex* CachedRegex(std::string_view pattern) {
  thread_local std::map<std::string, std::unique_ptr<CompiledRegex>, std::less<>> cache;
  if (const auto found = cache.find(pattern); found != cache.end()) return found->second.get();
  std::unique_ptr<CompiledRegex> compiled = CompiledRegex::Compile(pattern);
  if (!compiled) return nullptr;
  if (cache.size() >= kCachedPatternLimit) cache.clear();
  return cache.emplace(std::string(pattern), std::move(compiled)).first->second.get();
}

}  // namespace tablift
