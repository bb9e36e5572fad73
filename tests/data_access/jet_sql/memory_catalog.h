#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/jet_value.h"

namespace tablift::jet {

// Readable values in test failure messages.
void PrintTo(const Value& value, std::ostream* out);

namespace testing {

using Row = std::vector<Value>;

// Tables held in memory, with counters of what the executor pulled from them.
class MemoryCatalog : public TableCatalog {
 public:
  MemoryCatalog& add(std::string name, std::vector<SourceColumn> columns, std::vector<Row> rows);

  std::unique_ptr<TableSource> table(const std::string& name) override;

  // A saved query the executor may name in FROM.
  MemoryCatalog& addQuery(std::string name, std::string sql);
  std::optional<std::string> savedQuerySql(const std::string& name) override;

  // Rows handed out by all cursors of the table so far, and cursors opened.
  std::size_t rowsRead(const std::string& name) const;
  std::size_t cursorsOpened(const std::string& name) const;
  // The table's cursors fail (posting an error object) when asked for the
  // row after the first `rows`.
  void failAfter(const std::string& name, std::size_t rows);

  struct Table {
    std::string name;
    std::vector<SourceColumn> columns;
    std::vector<Row> rows;
    std::size_t rowsRead = 0;
    std::size_t cursorsOpened = 0;
    std::size_t failAfter = static_cast<std::size_t>(-1);
  };

 private:
  Table* find(const std::string& name) const;
  std::vector<std::shared_ptr<Table>> tables_;
  std::vector<std::pair<std::string, std::string>> queries_;
};

SourceColumn Column(std::string name, JetType type, std::size_t size = 0);

// A catalog with the tables the tests share:
//   One(Id Long, Nothing Long) with the row (1, Null): a row to evaluate on;
//   Products, Categories, Orders: small user tables;
//   MSysObjects, MSysQueries, MSysRelationships: the system tables, columns
//   in Access's order.
MemoryCatalog SampleCatalog();

}  // namespace testing
}  // namespace tablift::jet
