#include "access/sample_schema.h"

#include <string>
#include <utility>

namespace tablift::sample {
namespace {

using jet::ColumnDesign;
using jet::IndexDesign;
using jet::JetType;
using jet::TableDesign;

ColumnDesign Column(std::string name, JetType type, std::uint16_t size = 0) {
  ColumnDesign column;
  column.name = std::move(name);
  column.type = type;
  column.size = size;
  return column;
}

ColumnDesign Required(ColumnDesign column, std::string description) {
  column.required = true;
  column.description = std::move(description);
  return column;
}

ColumnDesign DecimalColumn(std::string name, std::uint8_t precision, std::uint8_t scale) {
  ColumnDesign column = Column(std::move(name), JetType::Decimal);
  column.precision = precision;
  column.scale = scale;
  return column;
}

ColumnDesign YesNoDefaultNo(std::string name) {
  ColumnDesign column = Column(std::move(name), JetType::Boolean);
  column.defaultValue = "=No";
  return column;
}

IndexDesign PrimaryKey(std::vector<std::string> columns) {
  IndexDesign index;
  index.name = "PrimaryKey";
  for (auto& column : columns)
    index.columns.push_back({std::move(column), true});
  index.primaryKey = true;
  index.unique = true;
  index.required = true;
  return index;
}

TableDesign Categories() {
  return {"Categories",
          {Required(Column("CategoryId", JetType::Byte), "Category number"),
           Required(Column("CategoryName", JetType::Text, 30), "Name shown to customers"),
           Column("Description", JetType::Memo), Column("Picture", JetType::OleObject)},
          "Product groups",
          {PrimaryKey({"CategoryId"})}};
}

TableDesign Customers() {
  ColumnDesign credit = Column("CreditLimit", JetType::Currency);
  credit.defaultValue = "0";
  IndexDesign country{"Country", {{"Country", true}}, false, false, true, false};
  return {"Customers",
          {Required(Column("CustomerCode", JetType::Text, 10), "Letters and digits only"),
           Required(Column("CompanyName", JetType::Text, 80), "Legal name"),
           Column("ContactName", JetType::Text, 50), Column("Country", JetType::Text, 40), credit,
           YesNoDefaultNo("Active"), Column("Notes", JetType::Memo),
           Column("Logo", JetType::OleObject)},
          "Who buys",
          {PrimaryKey({"CustomerCode"}), country}};
}

TableDesign Employees() {
  ColumnDesign id = Required(Column("EmployeeId", JetType::Long), "Numbered by Access");
  id.autoNumber = true;
  return {"Employees",
          {Required(Column("LastName", JetType::Text, 40), "Family name"),
           Column("FirstName", JetType::Text, 30), Column("BirthDate", JetType::DateTime),
           Column("HireDate", JetType::DateTime), Column("Salary", JetType::Currency),
           Column("Photo", JetType::OleObject), id},
          "Who sells",
          {PrimaryKey({"EmployeeId"})}};
}

TableDesign Shippers() {
  return {"Shippers",
          {Required(Column("ShipperId", JetType::Long), "Shipper number"),
           Column("CompanyName", JetType::Text, 40), Column("Phone", JetType::Text, 24)},
          std::nullopt,
          {PrimaryKey({"ShipperId"})}};
}

TableDesign Products() {
  IndexDesign sku{"SKU", {{"SKU", true}}, false, true, true, false};
  return {"Products",
          {Required(Column("ProductId", JetType::Long), "Product number"),
           Required(Column("ProductName", JetType::Text, 60), "Name on the invoice"),
           Column("SKU", JetType::Text, 20), Column("CategoryId", JetType::Byte),
           Column("UnitPrice", JetType::Currency), Column("UnitsInStock", JetType::Integer),
           Column("Weight", JetType::Single), Column("Rating", JetType::Double),
           DecimalColumn("TaxRate", 9, 4), YesNoDefaultNo("Discontinued"),
           Column("RowGuid", JetType::ReplicationId), Column("Checksum", JetType::Binary, 16)},
          "What is sold",
          {PrimaryKey({"ProductId"}), sku}};
}

TableDesign Orders() {
  return {"Order",
          {Required(Column("OrderId", JetType::Long), "Order number"),
           Column("CustomerCode", JetType::Text, 10), Column("EmployeeId", JetType::Long),
           Column("OrderDate", JetType::DateTime), Column("ShippedDate", JetType::DateTime),
           Column("ShipVia", JetType::Long), Column("Freight", JetType::Currency),
           Column("ShipName", JetType::Text, 80), Column("Comments", JetType::Memo)},
          "Named with a reserved word",
          {PrimaryKey({"OrderId"})}};
}

TableDesign OrderDetails() {
  return {"Order Details",
          {Required(Column("OrderId", JetType::Long), "The order"),
           Required(Column("LineNo", JetType::Integer), "Line within the order"),
           Required(Column("ProductId", JetType::Long), "The product"),
           Column("Quantity", JetType::Integer), Column("UnitPrice", JetType::Currency),
           Column("Discount", JetType::Single)},
          "Lines of the orders",
          {PrimaryKey({"OrderId", "LineNo"})}};
}

TableDesign AwkwardValues() {
  return {"Awkward Values",
          {Required(Column("Id", JetType::Long), "Row number"),
           Column("TextValue", JetType::Text, 255), Column("MemoValue", JetType::Memo),
           Column("ByteValue", JetType::Byte), Column("IntegerValue", JetType::Integer),
           Column("LongValue", JetType::Long), Column("SingleValue", JetType::Single),
           Column("DoubleValue", JetType::Double), Column("CurrencyValue", JetType::Currency),
           DecimalColumn("DecimalValue", 28, 10), Column("DateValue", JetType::DateTime),
           YesNoDefaultNo("YesNoValue"), Column("GuidValue", JetType::ReplicationId),
           Column("BinaryValue", JetType::Binary, 32), Column("OleValue", JetType::OleObject)},
          "Edge cases of every type",
          {PrimaryKey({"Id"})}};
}

jet::RelationshipDesign Relationship(std::string referenced, std::string table, std::string column,
                                     bool enforced, bool cascadeUpdates, bool cascadeDeletes) {
  return {referenced + table, table,    {column},       referenced,
          {column},           enforced, cascadeUpdates, cascadeDeletes};
}

}  // namespace

std::vector<jet::TableDesign> SampleTables() {
  return {Categories(), Customers(), Employees(),    Shippers(),
          Products(),   Orders(),    OrderDetails(), AwkwardValues()};
}

std::vector<jet::RelationshipDesign> SampleRelationships() {
  auto shipVia = Relationship("Shippers", "Order", "ShipperId", false, false, false);
  shipVia.columns = {"ShipVia"};
  return {Relationship("Categories", "Products", "CategoryId", true, false, false),
          Relationship("Customers", "Order", "CustomerCode", true, true, false),
          Relationship("Employees", "Order", "EmployeeId", true, false, false),
          shipVia,
          Relationship("Order", "Order Details", "OrderId", true, true, true),
          Relationship("Products", "Order Details", "ProductId", true, false, false)};
}

std::vector<jet::QueryDesign> SampleQueries() {
  std::vector<jet::QueryDesign> queries;

  jet::QueryDesign list;
  list.name = "Customer List";
  list.tables = {{"Customers", ""}};
  list.columns = {{"Customers.CustomerCode", "Code"},
                  {"Customers.CompanyName", "Company"},
                  {"Customers.Country", ""}};
  queries.push_back(list);

  jet::QueryDesign joined;
  joined.name = "Order Lines";
  joined.tables = {{"Order", ""}, {"Order Details", ""}, {"Products", ""}};
  joined.columns = {{"[Order].OrderId", ""},
                    {"[Order].OrderDate", ""},
                    {"Products.ProductName", ""},
                    {"[Order Details].Quantity", ""},
                    {"[Order Details].[UnitPrice]*[Quantity]", "LineTotal"}};
  joined.joins = {{"Order", "Order Details", "[Order].OrderId = [Order Details].OrderId"},
                  {"Order Details", "Products", "[Order Details].ProductId = Products.ProductId"}};
  queries.push_back(joined);

  jet::QueryDesign filtered;
  filtered.name = "Heavy Freight";
  filtered.tables = {{"Order", ""}};
  filtered.columns = {{"[Order].OrderId", ""}, {"[Order].Freight", ""}};
  filtered.where = "[Order].Freight > 100";
  queries.push_back(filtered);

  jet::QueryDesign grouped;
  grouped.name = "Sales By Product";
  grouped.tables = {{"Order Details", ""}};
  grouped.columns = {{"[Order Details].ProductId", ""},
                     {"Sum([Order Details].Quantity)", "TotalQuantity"},
                     {"Count(*)", "Lines"}};
  grouped.groupBy = {"[Order Details].ProductId"};
  grouped.having = "Sum([Order Details].Quantity) > 10";
  queries.push_back(grouped);

  jet::QueryDesign ordered;
  ordered.name = "Products By Price";
  ordered.tables = {{"Products", ""}};
  ordered.columns = {{"Products.ProductName", ""}, {"Products.UnitPrice", "Price"}};
  ordered.orderBy = {{"Products.UnitPrice", true}, {"Products.ProductName", false}};
  queries.push_back(ordered);

  jet::QueryDesign parameter;
  parameter.name = "Orders Of Customer";
  parameter.parameters = {{"Which customer?", jet::JetType::Text}};
  parameter.tables = {{"Order", ""}};
  parameter.columns = {{"[Order].*", ""}};
  parameter.where = "[Order].CustomerCode = [Which customer?]";
  queries.push_back(parameter);

  return queries;
}

}  // namespace tablift::sample
