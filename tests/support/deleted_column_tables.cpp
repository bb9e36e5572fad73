#include "tests/support/deleted_column_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "data_access/jet/writer/jet_database_writer.h"

namespace tablift::test {
namespace {

using jet::JetType;
using jet::Null;
using jet::Value;

DeletedColumnTable Pairs() {
  DeletedColumnTable table;
  table.design.name = "Pairs";
  table.design.columns = {{.name = "Code", .type = JetType::Text, .size = 255},
                          {.name = "Label", .type = JetType::Text, .size = 255}};
  table.design.indexes = {{.name = "Code", .columns = {{"Code"}}}};
  table.design.deletedColumns = {{.number = 1, .type = JetType::Text}};
  return table;
}

DeletedColumnTable Contacts() {
  DeletedColumnTable table;
  table.design.name = "Contacts";
  for (const char* name :
       {"Name", "Street", "Town", "Postcode", "Country", "Phone", "Fax", "Email", "Remark"}) {
    table.design.columns.push_back({.name = name, .type = JetType::Text, .size = 50});
  }
  table.design.deletedColumns = {{.number = 0, .type = JetType::Text},
                                 {.number = 4, .type = JetType::Text}};
  for (int i = 1; i <= 7; ++i) {
    std::vector<Value> row;
    for (const jet::ColumnDesign& column : table.design.columns) {
      row.push_back(column.name + " " + std::to_string(i));
    }
    // Nulls and an empty text on both sides of the gaps.
    if (i == 3) row[2] = Null{};
    if (i == 5) row[3] = std::string();
    if (i == 6) row[8] = Null{};
    table.rows.push_back(std::move(row));
  }
  return table;
}

DeletedColumnTable Ledger() {
  DeletedColumnTable table;
  table.design.name = "Ledger";
  table.design.columns = {{.name = "Id", .type = JetType::Long},
                          {.name = "Amount", .type = JetType::Double},
                          {.name = "Settled", .type = JetType::Boolean},
                          {.name = "Note", .type = JetType::Text, .size = 20},
                          {.name = "Booked", .type = JetType::DateTime}};
  table.design.indexes = {{.name = "Note", .columns = {{"Note"}}}};
  table.design.deletedColumns = {{.number = 1, .type = JetType::Long},
                                 {.number = 3, .type = JetType::Boolean},
                                 {.number = 5, .type = JetType::Text}};
  table.rows = {
      {std::int64_t{1}, 12.5, true, std::string("Rent"), jet::DateTime{45000.5}},
      {std::int64_t{2}, Null{}, false, Null{}, jet::DateTime{45001.0}},
      {std::int64_t{3}, -0.25, true, std::string("Fee"), Null{}},
  };
  return table;
}

}  // namespace

std::vector<DeletedColumnTable> DeletedColumnTables() {
  return {Pairs(), Contacts(), Ledger()};
}

bool WriteDeletedColumnTables(const std::filesystem::path& path) {
  jet::JetDatabaseWriter writer;
  const auto check = [](const jet::WriteStatus& status) {
    EXPECT_TRUE(status.ok()) << status.message();
    return status.ok();
  };
  if (!check(writer.create(path))) return false;
  for (const DeletedColumnTable& table : DeletedColumnTables()) {
    if (!check(writer.addTable(table.design))) return false;
    for (const std::vector<Value>& row : table.rows) {
      if (!check(writer.appendRow(table.design.name, row))) return false;
    }
  }
  return check(writer.finish());
}

}  // namespace tablift::test
