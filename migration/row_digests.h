#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/session.h"
#include "translate/mysql_names.h"

namespace tablift {

// Every row of a query reduced to one number that stands for its comparable
// values: a table of any size is compared in eight bytes a row.
struct RowDigests {
  std::vector<std::size_t> digests;
  std::string error;
};

// Adds one comparable value to the text of a row, its length first, so that
// no two rows of different values run together into the same text.
void AppendComparable(const std::string& comparable, std::string& row);

// How a value is written for comparison (ComparableValue by default).
using ValueForm = std::string (*)(const ColumnInfo& column, const ColumnValue& value);

// The digests of a query's rows, each value in `form` for its column. `atOrdinals`: each column is
// read at its own ordinal (the source's rows, which hold columns left out of the comparison), else
// at its place in `columns` (a query that names exactly those).
RowDigests ReadDigests(Session* session, const std::string& sql,
                       const std::vector<ColumnInfo>& columns, bool atOrdinals,
                       ValueForm form = nullptr);

// The query of a migrated table's columns in the order given, under the names
// the migration gave them (binary values as hexadecimal, as the source gives
// them).
std::string TargetQuery(const std::string& table, const std::vector<ColumnInfo>& columns,
                        NameRule rule);

// Rows of the two sorted lists without a partner in the other.
std::uint64_t Unmatched(const std::vector<std::size_t>& a, const std::vector<std::size_t>& b);

}  // namespace tablift
