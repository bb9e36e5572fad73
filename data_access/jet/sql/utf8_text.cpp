#include "data_access/jet/sql/utf8_text.h"

namespace tablift::jet {
namespace {

constexpr char32_t kRawByteBase = 0xDC00;

// The length of the UTF-8 sequence starting at `i`, or 0 when the bytes there
// are not a valid, shortest-form sequence.
std::size_t SequenceLength(std::string_view text, std::size_t i, char32_t& codePoint) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return length;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = SequenceLength(text, i, codePoint);
    if (length == 0) {
      out.push_back(kRawByteBase + static_cast<unsigned char>(text[i]));
      ++i;
    } else {
      out.push_back(codePoint);
      i += length;
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF) {
    out.push_back(static_cast<char>(c - kRawByteBase));
  } else if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string EncodeUtf8(std::u32string_view codePoints) {
  std::string out;
  out.reserve(codePoints.size());
  for (char32_t c : codePoints)
    AppendUtf8(out, c);
  return out;
}

std::size_t Utf8Length(std::string_view text) {
  if (IsAsciiText(text)) return text.size();
  return DecodeUtf8(text).size();
}

std::string Utf8Substring(std::string_view text, std::size_t first, std::size_t count) {
  if (IsAsciiText(text)) {
    if (first >= text.size()) return {};
    return std::string(text.substr(first, count));
  }
  const std::u32string decoded = DecodeUtf8(text);
  if (first >= decoded.size()) return {};
  return EncodeUtf8(std::u32string_view(decoded).substr(first, count));
}

bool IsAsciiText(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace tablift::jet
