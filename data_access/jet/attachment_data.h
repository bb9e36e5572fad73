#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tablift::jet {

// The bytes of a file in an Attachment column, from what the FileData column
// stores: a kind (0 as they are, 1 deflated with zlib), the length of the
// contents, then the contents, which begin with a header of their own (its
// length first) that says what the file is. False, with `problem`, when the
// data is damaged; `limit` bounds what decompression may produce.
bool DecodeAttachmentData(std::span<const std::uint8_t> stored, std::vector<std::uint8_t>& file,
                          std::string& problem, std::size_t limit = std::size_t{1} << 31);

}  // namespace tablift::jet
