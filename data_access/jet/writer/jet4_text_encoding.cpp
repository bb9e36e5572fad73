#include "data_access/jet/writer/jet4_text_encoding.h"

namespace tablift::jet {
namespace {

// Decodes one UTF-8 sequence at `at`, advancing it; false on a malformed,
// overlong or surrogate sequence.
bool NextCodePoint(std::string_view text, std::size_t& at, char32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    ++at;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07;
    minimum = 0x10000;
  } else {
    return false;
  }
  if (at + length > text.size()) return false;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  codePoint = value;
  at += length;
  return true;
}

}  // namespace

std::optional<ByteVector> Utf8ToJet4Text(std::string_view utf8) {
  ByteVector out;
  out.reserve(utf8.size() * 2);
  std::size_t at = 0;
  while (at < utf8.size()) {
    char32_t codePoint = 0;
    if (!NextCodePoint(utf8, at, codePoint)) return std::nullopt;
    if (codePoint >= 0x10000) {
      const char32_t offset = codePoint - 0x10000;
      AppendLe16(out, static_cast<std::uint16_t>(0xD800 + (offset >> 10)));
      AppendLe16(out, static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)));
    } else {
      AppendLe16(out, static_cast<std::uint16_t>(codePoint));
    }
  }
  return out;
}

}  // namespace tablift::jet
