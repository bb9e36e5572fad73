#include "data_access/jet/writer/guid_field.h"

#include <array>

namespace tablift::jet {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool EncodeGuidText(std::string_view text, ByteVector& bytes) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return false;
  std::array<std::uint8_t, 16> plain{};
  std::size_t next = 0;
  for (std::size_t at = 0; at < text.size();) {
    if (at == 8 || at == 13 || at == 18 || at == 23) {
      if (text[at] != '-') return false;
      ++at;
      continue;
    }
    const int high = HexDigit(text[at]);
    const int low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0) return false;
    plain[next++] = static_cast<std::uint8_t>(high * 16 + low);
    at += 2;
  }
  // Data1 (4 bytes), Data2 and Data3 (2 bytes each) are integers kept
  // little-endian; Data4 is a byte array.
  bytes = {plain[3], plain[2], plain[1],  plain[0],  plain[5],  plain[4],  plain[7],  plain[6],
           plain[8], plain[9], plain[10], plain[11], plain[12], plain[13], plain[14], plain[15]};
  return true;
}

}  // namespace tablift::jet
