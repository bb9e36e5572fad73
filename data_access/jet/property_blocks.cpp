#include "data_access/jet/property_blocks.h"

#include <cstring>

#include "data_access/ascii_text.h"

namespace tablift::jet {
namespace {

constexpr std::uint16_t kNamesChunk = 0x80;
constexpr std::uint8_t kYesNoType = 0x01;
constexpr std::uint8_t kTextType = 0x0A;
constexpr std::uint8_t kMemoType = 0x0C;

std::uint32_t Read(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i)
    value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  return value;
}

std::vector<std::string> ReadNames(std::span<const std::uint8_t> chunk,
                                   const TextDecoder& decodeText) {
  std::vector<std::string> names;
  std::size_t position = 0;
  while (position + 2 <= chunk.size()) {
    const std::size_t length = Read(chunk, position, 2);
    position += 2;
    if (length > chunk.size() - position) break;
    names.push_back(decodeText(chunk.subspan(position, length)));
    position += length;
  }
  return names;
}

std::optional<PropertyBlock> ReadBlock(std::span<const std::uint8_t> chunk,
                                       const std::vector<std::string>& names,
                                       const TextDecoder& decodeText) {
  // Block length (4 bytes), name length (2), name, then the values.
  if (chunk.size() < 6) return std::nullopt;
  const std::size_t nameLength = Read(chunk, 4, 2);
  if (nameLength > chunk.size() - 6) return std::nullopt;
  PropertyBlock block;
  block.name = decodeText(chunk.subspan(6, nameLength));
  std::size_t position = 6 + nameLength;
  // Each value: its length (2), a flag byte, its type, the number of its
  // name (2), the data length (2) and the data.
  while (position + 8 <= chunk.size()) {
    const std::size_t length = Read(chunk, position, 2);
    const std::uint8_t type = chunk[position + 3];
    const std::size_t nameIndex = Read(chunk, position + 4, 2);
    const std::size_t dataLength = Read(chunk, position + 6, 2);
    if (length < 8 || length > chunk.size() - position || dataLength > length - 8 ||
        nameIndex >= names.size()) {
      break;
    }
    PropertyValue value;
    value.name = names[nameIndex];
    value.type = type;
    const auto data = chunk.subspan(position + 8, dataLength);
    value.data.assign(data.begin(), data.end());
    block.values.push_back(std::move(value));
    position += length;
  }
  return block;
}

}  // namespace

const PropertyValue* PropertyBlock::find(std::string_view property) const {
  for (const PropertyValue& value : values) {
    if (EqualsIgnoreCase(value.name, property)) return &value;
  }
  return nullptr;
}

std::vector<PropertyBlock> ParsePropertyBlocks(std::span<const std::uint8_t> blob,
                                               const TextDecoder& decodeText) {
  std::vector<PropertyBlock> blocks;
  if (blob.size() < 4 ||
      (std::memcmp(blob.data(), "KKD", 4) != 0 && std::memcmp(blob.data(), "MR2", 4) != 0)) {
    return blocks;
  }
  std::vector<std::string> names;
  std::size_t position = 4;
  while (position + 6 <= blob.size()) {
    const std::size_t length = Read(blob, position, 4);
    const std::uint16_t type = static_cast<std::uint16_t>(Read(blob, position + 4, 2));
    if (length < 6 || length > blob.size() - position) break;
    const auto chunk = blob.subspan(position + 6, length - 6);
    if (type == kNamesChunk) {
      names = ReadNames(chunk, decodeText);
    } else if (type <= 0x02) {
      if (std::optional<PropertyBlock> block = ReadBlock(chunk, names, decodeText)) {
        blocks.push_back(std::move(*block));
      }
    }
    position += length;
  }
  return blocks;
}

const PropertyBlock* FindPropertyBlock(const std::vector<PropertyBlock>& blocks,
                                       std::string_view name) {
  for (const PropertyBlock& block : blocks) {
    if (EqualsIgnoreCase(block.name, name)) return &block;
  }
  return nullptr;
}

std::optional<std::string> PropertyText(const PropertyValue& value, const TextDecoder& decodeText) {
  if (value.type != kTextType && value.type != kMemoType) return std::nullopt;
  return decodeText(value.data);
}

std::optional<bool> PropertyFlag(const PropertyValue& value) {
  if (value.type != kYesNoType || value.data.empty()) return std::nullopt;
  return value.data[0] != 0;
}

std::optional<std::int64_t> PropertyInteger(const PropertyValue& value) {
  constexpr std::uint8_t kByte = 0x02;
  constexpr std::uint8_t kInteger = 0x03;
  constexpr std::uint8_t kLong = 0x04;
  const std::size_t size = value.type == kByte      ? 1
                           : value.type == kInteger ? 2
                           : value.type == kLong    ? 4
                                                    : 0;
  if (size == 0 || value.data.size() < size) return std::nullopt;
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < size; ++i)
    bits |= static_cast<std::uint32_t>(value.data[i]) << (8 * i);
  if (size == 2) return static_cast<std::int16_t>(bits);
  if (size == 4) return static_cast<std::int32_t>(bits);
  return bits;
}

}  // namespace tablift::jet
