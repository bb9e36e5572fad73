#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "data_access/jet/writer/jet_database_writer.h"

namespace tablift::jet::test {

// A table design with the rows to write into it.
struct TableContent {
  TableDesign design;
  std::vector<std::vector<Value>> rows;
};

// Writes a database holding `tables`; fails the calling test (and returns
// false) when any call of the writer does.
bool WriteDatabase(const std::filesystem::path& path, const std::vector<TableContent>& tables,
                   const DatabaseOptions& options = {});

// UTF-16LE bytes of ASCII or UTF-8 text, as Jet 4 stores it.
std::vector<std::uint8_t> Utf16Le(const std::u16string& text);

}  // namespace tablift::jet::test
