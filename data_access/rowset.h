#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/error_info.h"
#include "data_access/provider.h"
#include "data_access/result_codes.h"

namespace tablift {

class Rowset;

// Something that copies the current row of a rowset into its own buffer. An
// automatic accessor is filled on every move to a row.
class RowAccessor {
 public:
  virtual ~RowAccessor() = default;
  virtual HResult fill(Rowset& rowset) = 0;
  // The rowset is closing; the accessor lets go of it.
  virtual void detach() = 0;
};

// The result of a command or a catalog rowset, read forward one row at a time.
// Empty when a command produced no rowset; callers test isOpen().
class Rowset : public ErrorInfoSupport {
 public:
  Rowset() = default;
  ~Rowset() override;
  Rowset(const Rowset&) = delete;
  Rowset& operator=(const Rowset&) = delete;

  // Takes over a provider rowset (closing what was held).
  void attach(std::unique_ptr<ProviderRowset> rowset);
  bool isOpen() const { return object_ != nullptr; }

  // Moves to the next row and fills the automatic accessors: S_OK, the
  // provider's DB_S_ENDOFROWSET (or other non-S_OK answer) at once, or the
  // first accessor failure (the row is then released).
  HResult moveNext();
  // Fills the automatic accessors again from the held row.
  HResult getData();
  void releaseRow() { rowHeld_ = false; }
  bool rowHeld() const { return rowHeld_; }
  // Lets the accessors go and releases the provider rowset.
  void close();

  HResult columnInfo(std::vector<ColumnInfo>& columns);
  // The held row's whole value of a column (counted from 1), not cut: what the
  // row transfer and backups read long values with.
  HResult readValue(std::size_t ordinal, ColumnValue& value);

  // The accessor is filled on every move until it detaches or the rowset
  // closes; it must stay alive that long.
  void addAutomaticAccessor(RowAccessor* accessor);
  void removeAccessor(RowAccessor* accessor);

  // S_OK while a provider rowset is held, E_NOINTERFACE otherwise.
  HResult InterfaceSupportsErrorInfo(InterfaceId iid) const override;

 private:
  std::unique_ptr<ProviderRowset> object_;
  std::vector<RowAccessor*> accessors_;
  bool rowHeld_ = false;
};

}  // namespace tablift
