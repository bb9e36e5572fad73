#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tablift::jet {

// Text functions count characters, not bytes. A byte that is not part of
// valid UTF-8 decodes to U+DC80..U+DCFF and encodes back to the same byte, so
// a damaged value passes through Left, Mid or UCase unchanged instead of
// turning into replacement characters.
std::u32string DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);
std::string EncodeUtf8(std::u32string_view codePoints);

std::size_t Utf8Length(std::string_view text);

// The characters [first, first + count) of the text, clamped to its end.
std::string Utf8Substring(std::string_view text, std::size_t first, std::size_t count);

bool IsAsciiText(std::string_view text);

}  // namespace tablift::jet
