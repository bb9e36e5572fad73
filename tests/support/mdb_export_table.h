#pragma once

#include <optional>
#include <string>
#include <vector>

// A table as mdbtools' own mdb-export writes it (dates as "YYYY-MM-DD
// HH:MM:SS", binary as hexadecimal), to hold the provider's rows against.
namespace tablift::test {

// One cell; nothing for NULL.
using ExportedCell = std::optional<std::string>;

struct ExportedTable {
  std::vector<std::string> header;
  std::vector<std::vector<ExportedCell>> rows;
};

// Nothing when mdb-export is not installed or fails.
std::optional<ExportedTable> MdbExport(const std::string& path, const std::string& table);

}  // namespace tablift::test
