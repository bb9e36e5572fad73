#include "data_access/jet/attachment_data.h"

#include <zlib.h>

#include <algorithm>

namespace tablift::jet {
namespace {

constexpr std::uint32_t kStored = 0;
constexpr std::uint32_t kDeflated = 1;
constexpr std::size_t kChunk = 64 * 1024;

std::uint32_t Word32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

bool Inflate(std::span<const std::uint8_t> deflated, std::vector<std::uint8_t>& out,
             std::size_t limit, std::string& problem) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) {
    problem = "the attachment cannot be decompressed";
    return false;
  }
  stream.next_in = const_cast<Bytef*>(deflated.data());
  stream.avail_in = static_cast<uInt>(deflated.size());
  int result = Z_OK;
  while (result == Z_OK) {
    if (out.size() >= limit) {
      result = Z_MEM_ERROR;
      break;
    }
    const std::size_t before = out.size();
    out.resize(before + std::min(kChunk, limit - before));
    stream.next_out = out.data() + before;
    stream.avail_out = static_cast<uInt>(out.size() - before);
    result = inflate(&stream, Z_NO_FLUSH);
    out.resize(out.size() - stream.avail_out);
    if (result == Z_BUF_ERROR && stream.avail_in == 0) break;  // cut short
  }
  inflateEnd(&stream);
  if (result != Z_STREAM_END) {
    problem = "the compressed attachment is damaged";
    return false;
  }
  return true;
}

}  // namespace

bool DecodeAttachmentData(std::span<const std::uint8_t> stored, std::vector<std::uint8_t>& file,
                          std::string& problem, std::size_t limit) {
  file.clear();
  if (stored.size() < 8) {
    problem = "the attachment's data is cut short";
    return false;
  }
  const std::uint32_t kind = Word32(stored, 0);
  const std::size_t length = Word32(stored, 4);
  std::vector<std::uint8_t> contents;
  if (kind == kDeflated) {
    if (!Inflate(stored.subspan(8), contents, limit, problem)) return false;
  } else if (kind == kStored) {
    contents.assign(stored.begin() + 8, stored.end());
  } else {
    problem = "the attachment's data is of an unknown kind";
    return false;
  }
  if (contents.size() < 4) {
    problem = "the attachment's header is cut short";
    return false;
  }
  const std::size_t header = Word32(contents, 0);
  const std::size_t end = std::min(length, contents.size());
  if (header < 4 || header > end) {
    problem = "the attachment's header is damaged";
    return false;
  }
  file.assign(contents.begin() + static_cast<std::ptrdiff_t>(header),
              contents.begin() + static_cast<std::ptrdiff_t>(end));
  return true;
}

}  // namespace tablift::jet
