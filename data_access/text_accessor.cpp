#include "data_access/text_accessor.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tablift {
namespace {

void StoreWord(std::uint8_t* at, std::uint32_t word) {
  std::memcpy(at, &word, sizeof word);
}

std::uint32_t LoadWord(const std::uint8_t* at) {
  std::uint32_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return word;
}

}  // namespace

std::string_view CutAtCharacterBoundary(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of the
  // character that does not fit whole.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  return text.substr(0, end);
}

TextAccessor::~TextAccessor() {
  release();
}

HResult TextAccessor::bind(Rowset& rowset) {
  release();
  std::vector<ColumnInfo> columns;
  const HResult result = rowset.columnInfo(columns);
  if (result != S_OK) return Failed(result) ? result : E_FAIL;
  const std::size_t bookmarks = !columns.empty() && columns.front().ordinal == 0 ? 1 : 0;
  try {
    buffer_.assign((columns.size() - bookmarks) * kSlotSize, 0);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  columns_ = std::move(columns);
  bookmarks_ = bookmarks;
  rowset_ = &rowset;
  rowset.addAutomaticAccessor(this);
  return S_OK;
}

void TextAccessor::release() {
  if (rowset_ != nullptr) rowset_->removeAccessor(this);
  rowset_ = nullptr;
  columns_.clear();
  bookmarks_ = 0;
  buffer_.clear();
}

HResult TextAccessor::fill(Rowset& rowset) {
  ColumnValue value;
  for (std::size_t ordinal = 1; ordinal <= slotCount(); ++ordinal) {
    std::uint8_t* slot = buffer_.data() + (ordinal - 1) * kSlotSize;
    const HResult result = rowset.readValue(ordinal, value);
    if (Failed(result)) return result;
    if (value.null) {
      slot[0] = 0;
      StoreWord(slot + kLengthOffset, 0);
      StoreWord(slot + kStatusOffset, DBSTATUS_S_ISNULL);
      continue;
    }
    // The slot keeps a terminator, so at most 8191 bytes of text fit; the cut
    // falls on a character boundary, so no broken UTF-8 character is handed on.
    const std::string_view kept = CutAtCharacterBoundary(value.text, kMaxTextBytes);
    std::memcpy(slot, kept.data(), kept.size());
    slot[kept.size()] = 0;
    StoreWord(slot + kLengthOffset, static_cast<std::uint32_t>(kept.size()));
    StoreWord(slot + kStatusOffset,
              kept.size() == value.text.size() ? DBSTATUS_S_OK : DBSTATUS_S_TRUNCATED);
  }
  return S_OK;
}

std::string_view TextAccessor::text(std::size_t ordinal) const {
  if (ordinal == 0 || ordinal > slotCount() || isNull(ordinal)) return {};
  return {reinterpret_cast<const char*>(slot(ordinal)), length(ordinal)};
}

std::uint32_t TextAccessor::length(std::size_t ordinal) const {
  if (ordinal == 0 || ordinal > slotCount()) return 0;
  return LoadWord(slot(ordinal) + kLengthOffset);
}

std::uint32_t TextAccessor::status(std::size_t ordinal) const {
  if (ordinal == 0 || ordinal > slotCount()) return DBSTATUS_S_ISNULL;
  return LoadWord(slot(ordinal) + kStatusOffset);
}

}  // namespace tablift
