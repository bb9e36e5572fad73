#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/result_codes.h"
#include "data_access/rowset.h"

namespace tablift {

// Binds every column of a rowset as text: one 8200-byte slot per column, the
// value (at most 8192 bytes, NUL-terminated, so at most 8191 bytes of text) at
// the slot's start, its length (32-bit) at +8192 and its status (32-bit) at
// +8196. DBSTATUS_S_ISNULL marks an SQL NULL. A longer value is cut to what
// fits; read it whole with Rowset::readValue.
//
// A rowset may begin with a bookmark column (ordinal 0), as the Jet
// provider's command rowsets do. It gets no slot: slot i still holds ordinal
// i, columns() still lists every entry (entry k is then column k) and
// columnCount() counts the bookmark too, so callers read "column count minus
// one" columns, as they do with the Windows Jet provider.
class TextAccessor : public RowAccessor {
 public:
  static constexpr std::size_t kSlotSize = 8200;
  static constexpr std::size_t kValueSize = 8192;
  static constexpr std::size_t kLengthOffset = 8192;
  static constexpr std::size_t kStatusOffset = 8196;
  static constexpr std::size_t kMaxTextBytes = kValueSize - 1;

  TextAccessor() = default;
  ~TextAccessor() override;
  TextAccessor(const TextAccessor&) = delete;
  TextAccessor& operator=(const TextAccessor&) = delete;

  // Reads the column information and sets up n zeroed slots; becomes an
  // automatic accessor of the rowset. A failure of the column information is
  // returned (its error object describes it, IID_IColumnsInfo).
  HResult bind(Rowset& rowset);
  void release();

  std::size_t columnCount() const { return columns_.size(); }
  // Columns are counted from 1.
  const ColumnInfo& column(std::size_t ordinal) const { return columns_[ordinal - 1 + bookmarks_]; }
  const std::vector<ColumnInfo>& columns() const { return columns_; }

  std::string_view text(std::size_t ordinal) const;
  std::uint32_t length(std::size_t ordinal) const;
  std::uint32_t status(std::size_t ordinal) const;
  bool isNull(std::size_t ordinal) const { return status(ordinal) == DBSTATUS_S_ISNULL; }
  const std::uint8_t* slot(std::size_t ordinal) const {
    return buffer_.data() + (ordinal - 1) * kSlotSize;
  }

  HResult fill(Rowset& rowset) override;
  void detach() override { rowset_ = nullptr; }

 private:
  Rowset* rowset_ = nullptr;
  std::size_t slotCount() const { return columns_.size() - bookmarks_; }

  std::vector<ColumnInfo> columns_;
  std::size_t bookmarks_ = 0;  // 1 when the first entry is a bookmark column
  std::vector<std::uint8_t> buffer_;
};

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a
// UTF-8 character boundary, so a cut value never holds a broken character.
std::string_view CutAtCharacterBoundary(std::string_view text, std::size_t maxBytes);

}  // namespace tablift
