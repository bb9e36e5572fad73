#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/table_definition.h"

// ACE complex columns, resolved through the system tables that hold them:
// MSysComplexColumns names, for each ComplexID, the hidden table with the
// values (FlatTableID) and the table that gives its kind
// (ComplexTypeObjectID: MSysComplexType_Attachment, MSysComplexTypeVH_...
// for version history, another MSysComplexType_* for multi-value). Reader
// process side; the tables are read through the loader it is given.
namespace tablift::jet {

// A table's definition and every row, values in the definition's order.
struct LoadedTable {
  TableDefinition definition;
  std::vector<std::vector<Value>> rows;
};

// Loads the table of that MSysObjects entry, its rows only when asked for;
// false with `problem` when it cannot be read.
using TableLoader = std::function<bool(const CatalogObject& object, bool rows, LoadedTable& table,
                                       std::string& problem)>;

class ComplexColumns {
 public:
  ComplexColumns(const std::vector<CatalogObject>& objects, TableLoader load)
      : objects_(objects), load_(std::move(load)) {}

  // Gives the complex columns of the definition their kind, value type and
  // versioned column.
  bool describe(const CatalogObject& object, TableDefinition& table, std::string& problem);
  // Every value of one complex column of the table, in the order the hidden
  // table keeps them.
  bool values(const CatalogObject& object, const ColumnDefinition& column,
              std::vector<ComplexValue>& values, std::string& problem);

 private:
  struct Entry {
    std::int64_t complexId = 0;
    std::int64_t typeObject = 0;
    std::int64_t flatTable = 0;
    std::int64_t conceptualTable = 0;  // the table the column belongs to
    std::string column;
  };
  // MSysComplexColumns, read the first time a complex column is met.
  bool load(std::string& problem);
  const CatalogObject* objectOf(std::int64_t id) const;
  // The flat table of a complex column and which of its columns hold what.
  struct Flat {
    ComplexKind kind = ComplexKind::None;
    LoadedTable table;
    std::optional<std::size_t> key;
    std::optional<std::size_t> value;     // multi-value, version history
    std::optional<std::size_t> modified;  // version history
  };
  // `rows`: the values too, not only which columns hold them.
  bool flat(const CatalogObject& object, const ColumnDefinition& column, bool rows, Flat& flat,
            std::string& problem);

  const std::vector<CatalogObject>& objects_;
  TableLoader load_;
  std::optional<std::vector<Entry>> entries_;
};

}  // namespace tablift::jet
