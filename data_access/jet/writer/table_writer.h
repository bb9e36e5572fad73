#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/writer/data_page_builder.h"
#include "data_access/jet/writer/index_builder.h"
#include "data_access/jet/writer/index_plan.h"
#include "data_access/jet/writer/long_value_store.h"
#include "data_access/jet/writer/page_file.h"
#include "data_access/jet/writer/page_set.h"
#include "data_access/jet/writer/row_image.h"
#include "data_access/jet/writer/row_shape.h"
#include "data_access/jet/writer/table_definition_pages.h"

namespace tablift::jet {

// Streams the rows of one table onto data pages: a page is written as soon
// as the next row does not fit, so a table of any size needs one page of
// memory (plus one per Memo or OLE Object column for its long values).
class TableWriter {
 public:
  // `definitionPage` is the first page of the table's definition, its id.
  TableWriter(PageFile& file, std::string name, RowShape shape, IndexSet indexes,
              std::uint32_t definitionPage, bool systemTable);

  const std::string& name() const { return name_; }
  const RowShape& shape() const { return shape_; }
  std::uint32_t definitionPage() const { return definitionPage_; }
  bool systemTable() const { return systemTable_; }
  std::uint32_t rowCount() const { return rowCount_; }
  const IndexSet& indexes() const { return indexes_; }

  // The number the next named index gets.
  std::uint32_t nextIndexNumber() const {
    return static_cast<std::uint32_t>(indexes_.logical.size());
  }
  // Adds a named index of a relationship over `columns`, on an existing
  // physical index with the same key or a new one. A new one cannot be
  // added once the table has rows.
  WriteStatus addRelationshipIndex(LogicalIndex index, const std::vector<IndexKeyColumn>& columns);

  // Adds one row, `values` in column order. A value the column cannot hold
  // fails with InvalidValue and leaves the table as it was; a failure to
  // write the file fails with OutputFailed.
  WriteStatus appendRow(const std::vector<Value>& values);

  // Writes the open pages and the index pages; the table takes no more rows.
  WriteStatus finish();

  // After finish(): the pages for the usage maps.
  const PageSet& dataPages() const { return dataPages_; }
  const PageSet& dataPagesWithRoom() const { return dataPagesWithRoom_; }
  // One store per long-value column, in column order.
  struct LongValueColumn {
    std::uint16_t columnNumber = 0;
    std::unique_ptr<LongValueStore> store;
  };
  const std::vector<LongValueColumn>& longValueColumns() const { return longValueColumns_; }

  // One builder per physical index, after finish() with their pages.
  const std::vector<IndexBuilder>& indexBuilders() const { return indexBuilders_; }

  // Writes the definition once the usage maps are placed; a definition
  // longer than its first page continues on pages allocated here.
  WriteStatus writeDefinition(std::uint32_t usedPagesMap, std::uint32_t pagesWithRoomMap,
                              const std::vector<LongValueColumnMaps>& longMaps,
                              const std::vector<std::uint32_t>& indexUsedPagesMaps);

 private:
  WriteStatus encodeRow(const std::vector<Value>& values, std::vector<EncodedField>& fields,
                        std::int64_t& autoNumber);
  WriteStatus placeLongValues(std::vector<EncodedField>& fields);
  struct PendingKey {
    ByteVector key;
    bool complete = true;
    bool skipped = false;
  };
  WriteStatus buildKeys(const std::vector<EncodedField>& fields, std::vector<PendingKey>& keys);
  std::string indexName(std::size_t physical) const;
  WriteStatus writeOpenPage();
  LongValueStore& storeFor(std::uint16_t columnNumber);

  PageFile& file_;
  std::string name_;
  RowShape shape_;
  IndexSet indexes_;
  std::vector<IndexBuilder> indexBuilders_;
  std::uint32_t definitionPage_;
  bool systemTable_;
  DataPageBuilder page_;
  std::uint32_t pageNumber_ = 0;
  PageSet dataPages_;
  PageSet dataPagesWithRoom_;
  std::vector<LongValueColumn> longValueColumns_;
  std::uint32_t rowCount_ = 0;
  std::int64_t lastAutoNumber_ = 0;
  bool indexesWritten_ = false;
};

}  // namespace tablift::jet
