#include "tests/data_access/jet_sql/memory_catalog.h"

#include <iomanip>

#include "data_access/error_info.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {

void PrintTo(const Value& value, std::ostream* out) {
  struct Visitor {
    std::ostream& out;
    void operator()(Null) const { out << "Null"; }
    void operator()(bool b) const { out << (b ? "True" : "False"); }
    void operator()(std::int64_t i) const { out << i << " (Long)"; }
    void operator()(double d) const { out << std::setprecision(17) << d << " (Double)"; }
    void operator()(Currency c) const { out << c.scaled << "/10000 (Currency)"; }
    void operator()(DateTime d) const { out << std::setprecision(17) << d.days << " (Date)"; }
    void operator()(const Decimal& d) const { out << d.digits << " (Decimal)"; }
    void operator()(const std::string& s) const { out << '"' << s << '"'; }
    void operator()(const Guid& g) const { out << g.text; }
    void operator()(const Bytes& b) const { out << b.data.size() << " bytes"; }
  };
  std::visit(Visitor{*out}, value);
}

namespace testing {
namespace {

class MemoryCursor : public RowCursor {
 public:
  explicit MemoryCursor(std::shared_ptr<MemoryCatalog::Table> table) : table_(std::move(table)) {}

  HResult next(std::vector<Value>& row) override {
    if (position_ >= table_->failAfter) {
      PostError("Damaged page in table " + table_->name, "test");
      return E_FAIL;
    }
    if (position_ >= table_->rows.size()) return DB_S_ENDOFROWSET;
    row = table_->rows[position_++];
    ++table_->rowsRead;
    return S_OK;
  }

 private:
  std::shared_ptr<MemoryCatalog::Table> table_;
  std::size_t position_ = 0;
};

class MemoryTable : public TableSource {
 public:
  explicit MemoryTable(std::shared_ptr<MemoryCatalog::Table> table) : table_(std::move(table)) {}
  const std::string& name() const override { return table_->name; }
  const std::vector<SourceColumn>& columns() const override { return table_->columns; }
  HResult open(std::unique_ptr<RowCursor>& cursor) override {
    ++table_->cursorsOpened;
    cursor = std::make_unique<MemoryCursor>(table_);
    return S_OK;
  }

 private:
  std::shared_ptr<MemoryCatalog::Table> table_;
};

DateTime Date(double serial) {
  return DateTime{serial};
}

}  // namespace

MemoryCatalog& MemoryCatalog::add(std::string name, std::vector<SourceColumn> columns,
                                  std::vector<Row> rows) {
  auto table = std::make_shared<Table>();
  table->name = std::move(name);
  table->columns = std::move(columns);
  table->rows = std::move(rows);
  tables_.push_back(std::move(table));
  return *this;
}

MemoryCatalog::Table* MemoryCatalog::find(const std::string& name) const {
  for (const auto& table : tables_) {
    if (NamesEqual(table->name, name)) return table.get();
  }
  return nullptr;
}

std::unique_ptr<TableSource> MemoryCatalog::table(const std::string& name) {
  for (const auto& table : tables_) {
    if (NamesEqual(table->name, name)) return std::make_unique<MemoryTable>(table);
  }
  return nullptr;
}

std::size_t MemoryCatalog::rowsRead(const std::string& name) const {
  return find(name)->rowsRead;
}

std::size_t MemoryCatalog::cursorsOpened(const std::string& name) const {
  return find(name)->cursorsOpened;
}

void MemoryCatalog::failAfter(const std::string& name, std::size_t rows) {
  find(name)->failAfter = rows;
}

MemoryCatalog& MemoryCatalog::addQuery(std::string name, std::string sql) {
  queries_.emplace_back(std::move(name), std::move(sql));
  return *this;
}

std::optional<std::string> MemoryCatalog::savedQuerySql(const std::string& name) {
  for (const auto& [queryName, sql] : queries_) {
    if (NamesEqual(queryName, name)) return sql;
  }
  return std::nullopt;
}

SourceColumn Column(std::string name, JetType type, std::size_t size) {
  SourceColumn column;
  column.name = std::move(name);
  column.type = type;
  column.size = size;
  return column;
}

MemoryCatalog SampleCatalog() {
  using T = JetType;
  using I = std::int64_t;
  MemoryCatalog catalog;
  catalog.add("One", {Column("Id", T::Long), Column("Nothing", T::Long)}, {{I{1}, Null{}}});

  // 45351 is 2024-02-29, 45658 is 2025-01-01.
  catalog.add("Products",
              {Column("ProductID", T::Long), Column("ProductName", T::Text, 40),
               Column("CategoryID", T::Long), Column("UnitPrice", T::Currency),
               Column("Discontinued", T::Boolean), Column("Added", T::DateTime)},
              {
                  {I{1}, std::string("Chai"), I{1}, Currency{180000}, false, Date(45351.5)},
                  {I{2}, std::string("Chang"), I{1}, Currency{190000}, true, Date(45352)},
                  {I{3}, std::string("Aniseed Syrup"), I{2}, Currency{100000}, false, Date(45200)},
                  {I{4}, std::string("Äpfel"), Null{}, Currency{25000}, false, Null{}},
                  {I{5}, std::string("Île flottante"), I{3}, Null{}, true, Date(45658)},
              });
  catalog.add("Categories", {Column("CategoryID", T::Long), Column("CategoryName", T::Text, 15)},
              {{I{1}, std::string("Beverages")},
               {I{2}, std::string("Condiments")},
               {I{9}, std::string("Unused")}});
  catalog.add(
      "Orders",
      {Column("OrderID", T::Long), Column("ProductID", T::Long), Column("Quantity", T::Integer)},
      {{I{10}, I{1}, I{5}}, {I{11}, I{1}, I{7}}, {I{12}, I{3}, I{1}}, {I{13}, I{8}, I{2}}});

  catalog.add("MSysObjects",
              {Column("Id", T::Long), Column("Name", T::Text, 255), Column("Type", T::Integer),
               Column("Flags", T::Long)},
              {{I{100}, std::string("Products"), I{1}, I{0}},
               {I{200}, std::string("Q1"), I{5}, I{0}},
               {I{300}, std::string("Q2"), I{5}, I{0}},
               {I{400}, std::string("MSysQueries"), I{1}, I{-2147483646}}});
  catalog.add(
      "MSysQueries",
      {Column("Attribute", T::Byte), Column("Expression", T::Memo), Column("Flag", T::Integer),
       Column("LvExtra", T::OleObject), Column("Name1", T::Text, 255),
       Column("Name2", T::Text, 255), Column("ObjectId", T::Long), Column("Order", T::Binary, 8)},
      {
          {I{0}, Null{}, I{1}, Null{}, Null{}, Null{}, I{200}, Null{}},
          {I{5}, Null{}, I{0}, Null{}, std::string("Products"), Null{}, I{200}, Null{}},
          {I{6}, std::string("ProductName"), I{0}, Null{}, Null{}, Null{}, I{200}, Null{}},
          {I{8}, std::string("UnitPrice>10"), I{0}, Null{}, Null{}, Null{}, I{200}, Null{}},
          {I{0}, Null{}, I{1}, Null{}, Null{}, Null{}, I{300}, Null{}},
          {I{3}, Null{}, I{1}, Null{}, Null{}, Null{}, I{300}, Null{}},
      });
  catalog.add(
      "MSysRelationships",
      {Column("ccolumn", T::Long), Column("grbit", T::Long), Column("icolumn", T::Long),
       Column("szColumn", T::Text, 64), Column("szObject", T::Text, 64),
       Column("szReferencedColumn", T::Text, 64), Column("szReferencedObject", T::Text, 64),
       Column("szRelationship", T::Text, 128)},
      {
          {I{2}, I{0}, I{0}, std::string("ProductID"), std::string("Orders"),
           std::string("ProductID"), std::string("Products"), std::string("ProductsOrders")},
          {I{1}, I{0}, I{0}, std::string("CategoryID"), std::string("Products"),
           std::string("CategoryID"), std::string("Categories"), std::string("CategoriesProducts")},
          {I{2}, I{0}, I{1}, std::string("OrderID"), std::string("Orders"), std::string("OrderID"),
           std::string("OrderHeads"), std::string("HeadsOrders")},
      });
  return catalog;
}

}  // namespace testing
}  // namespace tablift::jet
