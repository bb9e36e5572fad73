#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/property_set.h"
#include "data_access/result_codes.h"
#include "data_access/rowset.h"
#include "data_access/session.h"
#include "data_access/text_accessor.h"

namespace tablift {

inline constexpr const char* kNoConnection = "No Connection!";
inline constexpr const char* kStatementSucceeded = "RESULT: The operation completed SUCCESSFULLY";

// The rowset properties of the statement runner: DBPROP_IRowset = true,
// DBPROP_UPDATABILITY = 7.
PropertySet StatementRowsetProperties();
// The rowset properties of the MySQL reading operations: DBPROP_IRowset,
// DBPROP_IRowsetChange = true, DBPROP_UPDATABILITY = 7.
PropertySet QueryRowsetProperties();

// The current row of a text query, as the text accessor holds it.
class TextRow {
 public:
  TextRow(const TextAccessor& accessor, Rowset& rowset) : accessor_(accessor), rowset_(rowset) {}

  std::size_t columnCount() const { return accessor_.columnCount(); }
  // Columns are counted from 1.
  const ColumnInfo& column(std::size_t ordinal) const { return accessor_.column(ordinal); }
  bool isNull(std::size_t ordinal) const { return accessor_.isNull(ordinal); }
  // At most 8191 bytes; empty for NULL.
  std::string_view text(std::size_t ordinal) const;
  // The whole value, however long (the row transfer and backups read long
  // values this way).
  HResult fullValue(std::size_t ordinal, ColumnValue& value) const {
    return rowset_.readValue(ordinal, value);
  }

 private:
  const TextAccessor& accessor_;
  Rowset& rowset_;
};

// Called once with the result's columns before the first row; false ends the
// query at once (the result stays "").
using TextColumnsHandler = std::function<bool(const std::vector<ColumnInfo>& columns)>;
// Called for every row; false stops reading.
using TextRowHandler = std::function<bool(const TextRow& row)>;

// Runs one statement and hands its rows, every column as text, to `onRow`.
// Returns:
// - "" when a rowset was read (whatever number of rows, also none);
// - "RESULT: The operation completed SUCCESSFULLY" when the statement gave no
//   rowset;
// - the provider's error text (DescribeOleDbError with IID_ICommandPrepare)
//   when creating or running the command did not give S_OK, a positive
//   information code included, or (IID_IColumnsInfo) when the column
//   information cannot be read;
// - "No Connection!" for a null or closed session. Callers that report the
//   missing connection in their own way check the session first.
// A row that cannot be fetched or read (a provider failure, not the end of
// the rowset) ends the rows: the result is still "", and `fetchFailure`, when
// given, receives the provider's text of that failure, so that a caller can
// tell a broken read from a finished one. It is left empty otherwise.
std::string RunTextQuery(Session* session, std::string_view sql,
                         const PropertySet* rowsetProperties, const TextRowHandler& onRow,
                         const TextColumnsHandler& onColumns = {},
                         std::string* fetchFailure = nullptr);

// RunTextQuery for readers that take every value with TextRow::fullValue: the
// text slots are not filled (TextRow::text and isNull are not to be used),
// which spares a second conversion of every value.
std::string RunWholeValueQuery(Session* session, std::string_view sql,
                               const PropertySet* rowsetProperties, const TextRowHandler& onRow,
                               const TextColumnsHandler& onColumns = {},
                               std::string* fetchFailure = nullptr);

// The text of a failed fetch or read on `rowset`: the provider's error text,
// or the step-failure text of "Get Next Row" when the provider left none.
std::string DescribeFetchFailure(Rowset& rowset, HResult result);

}  // namespace tablift
