#include "tests/jet_writer/written_database.h"

#include <gtest/gtest.h>

namespace tablift::jet::test {

bool WriteDatabase(const std::filesystem::path& path, const std::vector<TableContent>& tables,
                   const DatabaseOptions& options) {
  JetDatabaseWriter writer;
  const auto check = [](const WriteStatus& status) {
    EXPECT_TRUE(status.ok()) << status.message();
    return status.ok();
  };
  if (!check(writer.create(path, options))) return false;
  for (const TableContent& table : tables) {
    if (!check(writer.addTable(table.design))) return false;
  }
  for (const TableContent& table : tables) {
    for (const std::vector<Value>& row : table.rows) {
      if (!check(writer.appendRow(table.design.name, row))) return false;
    }
  }
  return check(writer.finish());
}

std::vector<std::uint8_t> Utf16Le(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

}  // namespace tablift::jet::test
