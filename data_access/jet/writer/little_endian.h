#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// Numbers in Jet pages are little-endian whatever the machine; these helpers
// place them byte by byte so the output does not depend on the host.
namespace tablift::jet {

using ByteVector = std::vector<std::uint8_t>;

inline void StoreLe16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void StoreLe32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void StoreLe64(std::uint8_t* at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i)
    at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void StoreLeDouble(std::uint8_t* at, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  StoreLe64(at, bits);
}

inline void StoreLeFloat(std::uint8_t* at, float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  StoreLe32(at, bits);
}

inline std::uint16_t LoadLe16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::uint32_t LoadLe32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

inline void AppendLe16(ByteVector& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendLe32(ByteVector& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void AppendBytes(ByteVector& out, const ByteVector& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace tablift::jet
