#include "data_access/jet/windows1252_text.h"

namespace tablift::jet {
namespace {

// U+0080..U+009F as code page 1252 fills the bytes 0x80..0x9F.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string DecodeWindows1252(std::span<const std::uint8_t> stored) {
  std::string text;
  text.reserve(stored.size());
  for (const std::uint8_t byte : stored) {
    const std::uint16_t code = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
    if (code < 0x80) {
      text += static_cast<char>(code);
    } else if (code < 0x800) {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | (code >> 12));
      text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return text;
}

}  // namespace tablift::jet
