#include "data_access/text_query.h"

#include <exception>

#include "data_access/command.h"
#include "data_access/error_texts.h"

namespace tablift {

PropertySet StatementRowsetProperties() {
  PropertySet set(PropertySetId::Rowset);
  set.addBool(DBPROP_IRowset, true);
  set.addInt32(DBPROP_UPDATABILITY, DBPROPVAL_UP_ALL);
  return set;
}

PropertySet QueryRowsetProperties() {
  PropertySet set(PropertySetId::Rowset);
  set.addBool(DBPROP_IRowset, true);
  set.addBool(DBPROP_IRowsetChange, true);
  set.addInt32(DBPROP_UPDATABILITY, DBPROPVAL_UP_ALL);
  return set;
}

std::string_view TextRow::text(std::size_t ordinal) const {
  return accessor_.text(ordinal);
}

std::string DescribeFetchFailure(Rowset& rowset, HResult result) {
  std::string text = DescribeOleDbError(&rowset, InterfaceId::IRowset);
  if (text.empty() || text == "Unknown Error!") text = DescribeStepFailure(result, "Get Next Row");
  return text;
}

namespace {

std::string RunQuery(Session* session, std::string_view sql, const PropertySet* rowsetProperties,
                     const TextRowHandler& onRow, const TextColumnsHandler& onColumns,
                     std::string* fetchFailure, bool fillSlots) {
  if (fetchFailure != nullptr) fetchFailure->clear();
  if (session == nullptr || !session->isOpen()) return kNoConnection;
  try {
    Command command;
    HResult result = command.create(*session, sql);
    if (result == S_OK) result = command.open(rowsetProperties);
    if (result != S_OK) return DescribeOleDbError(&command, InterfaceId::ICommandPrepare);

    Rowset& rowset = command.rowset();
    if (!rowset.isOpen()) return kStatementSucceeded;

    TextAccessor accessor;
    result = accessor.bind(rowset);
    if (result == E_OUTOFMEMORY) return DescribeStepFailure(result, "Create Accessor");
    if (result != S_OK) return DescribeOleDbError(&rowset, InterfaceId::IColumnsInfo);
    if (onColumns && !onColumns(accessor.columns())) return {};
    // Readers of whole values would only pay for a second conversion of every
    // value into the slots.
    if (!fillSlots) rowset.removeAccessor(&accessor);

    const TextRow row(accessor, rowset);
    while (true) {
      result = rowset.moveNext();
      if (result != S_OK) {
        // Any success code (DB_S_ENDOFROWSET) is the end of the rows.
        if (Failed(result) && fetchFailure != nullptr) {
          *fetchFailure = DescribeFetchFailure(rowset, result);
        }
        break;
      }
      if (onRow && !onRow(row)) break;
    }
    return {};
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return DescribeStepFailure(E_FAIL, "Bind Entry");
  }
}

}  // namespace

std::string RunTextQuery(Session* session, std::string_view sql,
                         const PropertySet* rowsetProperties, const TextRowHandler& onRow,
                         const TextColumnsHandler& onColumns, std::string* fetchFailure) {
  return RunQuery(session, sql, rowsetProperties, onRow, onColumns, fetchFailure, true);
}

std::string RunWholeValueQuery(Session* session, std::string_view sql,
                               const PropertySet* rowsetProperties, const TextRowHandler& onRow,
                               const TextColumnsHandler& onColumns, std::string* fetchFailure) {
  return RunQuery(session, sql, rowsetProperties, onRow, onColumns, fetchFailure, false);
}

}  // namespace tablift
