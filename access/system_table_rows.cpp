#include "access/system_table_rows.h"

#include "data_access/jet/sql/text_folding.h"
#include "data_access/property_set.h"
#include "data_access/text_query.h"

namespace tablift {
std::string AccessStringLiteral(std::string_view text) {
  std::string literal = "'";
  for (const char c : text) {
    if (c == '\'') literal.push_back('\'');
    literal.push_back(c);
  }
  literal.push_back('\'');
  return literal;
}

std::string ReadSystemRows(Session* session, std::string_view sql,
                           const std::vector<WantedColumn>& wanted,
                           std::vector<std::vector<std::string>>& rows) {
  rows.clear();
  // The accessor ordinal of each wanted column; 0 when the result lacks it.
  std::vector<std::size_t> ordinals(wanted.size(), 0);
  const auto onColumns = [&](const std::vector<ColumnInfo>& columns) {
    std::vector<const ColumnInfo*> data;
    for (const ColumnInfo& column : columns) {
      if (column.ordinal == 0 || (column.flags & DBCOLUMNFLAGS_ISBOOKMARK) != 0) continue;
      data.push_back(&column);
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      for (const ColumnInfo* column : data) {
        if (jet::NamesEqual(column->name, wanted[i].name)) {
          ordinals[i] = column->ordinal;
          break;
        }
      }
      if (ordinals[i] == 0 && wanted[i].position > 0 && wanted[i].position <= data.size())
        ordinals[i] = data[wanted[i].position - 1]->ordinal;
    }
    return true;
  };
  const auto onRow = [&](const TextRow& row) {
    std::vector<std::string> values;
    values.reserve(wanted.size());
    for (const std::size_t ordinal : ordinals) {
      ColumnValue value;
      if (ordinal == 0 || row.isNull(ordinal) || Failed(row.fullValue(ordinal, value)) ||
          value.null) {
        values.emplace_back();
      } else {
        values.push_back(std::move(value.text));
      }
    }
    rows.push_back(std::move(values));
    return true;
  };
  const PropertySet properties = StatementRowsetProperties();
  return RunTextQuery(session, sql, &properties, onRow, onColumns);
}

}  // namespace tablift
