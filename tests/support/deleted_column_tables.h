#pragma once

#include <filesystem>
#include <vector>

#include "data_access/jet/writer/table_design.h"

// Tables in the shapes Access's designer leaves behind when a column is
// deleted and the file is not compacted: column numbers with gaps, and more
// columns and variable-length columns counted as ever made than the table
// has. Written by the Jet writer, so that every reader can be held to them
// without real files.
namespace tablift::test {

struct DeletedColumnTable {
  jet::TableDesign design;
  std::vector<std::vector<jet::Value>> rows;
};

// "Pairs": two Text(255) columns, a non-unique index on the first, no rows;
// the column made between them was deleted (three columns and three variable
// columns ever made, two left).
// "Contacts": nine Text(50) columns and seven rows; the first and the fifth
// column made were deleted.
// "Ledger": fixed and variable columns with deleted ones of both kinds among
// them (a Long, a Yes/No, a Text), an index on a column past the gaps, rows
// with Nulls.
std::vector<DeletedColumnTable> DeletedColumnTables();

// Writes those tables into a new Jet 4 file; fails the calling test when the
// writer refuses.
bool WriteDeletedColumnTables(const std::filesystem::path& path);

}  // namespace tablift::test
