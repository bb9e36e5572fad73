#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The properties Access keeps for a table and its columns (Description,
// DefaultValue, Required, ...) in MSysObjects.LvProp: a "KKD" (Jet 3) or
// "MR2" (Jet 4) blob of chunks, one naming the properties and one block per
// object (the table's own block has no name, each column's is named after
// it). Every length in the blob is checked before it is followed.
namespace tablift::jet {

struct PropertyValue {
  std::string name;
  std::uint8_t type = 0;  // a Jet column type: 1 Yes/No, 10 Text, 12 Memo, ...
  std::vector<std::uint8_t> data;
};

struct PropertyBlock {
  std::string name;  // empty: the table itself
  std::vector<PropertyValue> values;

  const PropertyValue* find(std::string_view property) const;
};

using TextDecoder = std::function<std::string(std::span<const std::uint8_t>)>;

// The blocks of a blob; what is damaged is left out (a blob that is not a
// property blob gives none).
std::vector<PropertyBlock> ParsePropertyBlocks(std::span<const std::uint8_t> blob,
                                               const TextDecoder& decodeText);

// The block of the table (empty name) or of a column, names compared without
// regard to case.
const PropertyBlock* FindPropertyBlock(const std::vector<PropertyBlock>& blocks,
                                       std::string_view name);

// A text property (Text or Memo) decoded; nothing for another type.
std::optional<std::string> PropertyText(const PropertyValue& value, const TextDecoder& decodeText);
// A Yes/No property; nothing for another type.
std::optional<bool> PropertyFlag(const PropertyValue& value);
// A whole-number property (Byte, Integer, Long); nothing for another type.
std::optional<std::int64_t> PropertyInteger(const PropertyValue& value);

}  // namespace tablift::jet
