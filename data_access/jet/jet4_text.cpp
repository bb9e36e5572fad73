#include "data_access/jet/jet4_text.h"

#include <vector>

#include "data_access/utf8.h"

namespace tablift::jet {
namespace {

constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

std::vector<std::uint16_t> Units(std::span<const std::uint8_t> stored) {
  std::vector<std::uint16_t> units;
  if (stored.size() >= 2 && stored[0] == 0xFF && stored[1] == 0xFE) {
    units.reserve(stored.size());
    bool compressed = true;
    std::size_t i = 2;
    while (i < stored.size()) {
      if (stored[i] == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        units.push_back(stored[i]);
        ++i;
      } else if (i + 1 < stored.size()) {
        units.push_back(static_cast<std::uint16_t>(stored[i] | (stored[i + 1] << 8)));
        i += 2;
      } else {
        break;  // an odd byte at the end carries no character
      }
    }
    return units;
  }
  units.reserve(stored.size() / 2);
  for (std::size_t i = 0; i + 1 < stored.size(); i += 2)
    units.push_back(static_cast<std::uint16_t>(stored[i] | (stored[i + 1] << 8)));
  return units;
}

}  // namespace

std::string DecodeJet4Text(std::span<const std::uint8_t> stored) {
  const std::vector<std::uint16_t> units = Units(stored);
  std::string text;
  text.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const std::uint16_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      AppendUtf8(text, 0x10000 + ((unit - 0xD800u) << 10) + (units[i + 1] - 0xDC00u));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(text, kReplacementCharacter);
    } else {
      AppendUtf8(text, unit);
    }
  }
  return text;
}

}  // namespace tablift::jet
