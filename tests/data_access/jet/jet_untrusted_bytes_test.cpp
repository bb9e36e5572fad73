// The parts of the provider that read bytes they cannot trust: messages from
// a reader process, property blobs, and page row tables. Damage must give a
// failure or less data, never a read past the end or a loop without end.

#include <gtest/gtest.h>

#include <random>

#include "data_access/jet/page_rows.h"
#include "data_access/jet/property_blocks.h"
#include "data_access/jet/reader_protocol.h"
#include "data_access/jet/wire_format.h"

namespace tablift::jet {
namespace {

std::vector<Value> EveryKindOfValue() {
  return {Null{},
          true,
          std::int64_t{-42},
          2.5,
          Currency{123456},
          DateTime{36526.5},
          Decimal{"-1.25"},
          std::string("Ums\xC3\xA4tze"),
          Guid{"{03020100-0504-0706-0809-0A0B0C0D0E0F}"},
          Bytes{{0, 1, 254, 255}}};
}

TEST(JetWireFormat, ValuesTravelUnchanged) {
  WireWriter out;
  for (const Value& value : EveryKindOfValue())
    out.value(value);
  WireReader in(out.buffer());
  for (const Value& expected : EveryKindOfValue()) {
    Value read;
    ASSERT_TRUE(in.value(read));
    EXPECT_EQ(read, expected);
  }
  EXPECT_TRUE(in.atEnd());
}

// The two processes are the same program, but the form is fixed: values are
// little-endian, lengths come before their bytes.
TEST(JetWireFormat, TheByteFormIsLittleEndianWithLengthsFirst) {
  WireWriter out;
  out.u32(0x01020304);
  out.value(std::int64_t{-2});
  out.value(1.0);
  out.value(std::string("ab"));
  const std::string expected(
      "\x04\x03\x02\x01"
      "\x02\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
      "\x03\x00\x00\x00\x00\x00\x00\xF0\x3F"
      "\x07\x02\x00\x00\x00"
      "ab",
      4 + 9 + 9 + 5 + 2);
  EXPECT_EQ(out.buffer(), expected);
  WireReader in(expected);
  std::uint32_t number = 0;
  Value value;
  ASSERT_TRUE(in.u32(number));
  EXPECT_EQ(number, 0x01020304u);
  ASSERT_TRUE(in.value(value));
  EXPECT_EQ(value, Value(std::int64_t{-2}));
  // Decoding into a value that holds another kind replaces it.
  ASSERT_TRUE(in.value(value));
  EXPECT_EQ(value, Value(1.0));
  value = Bytes{{9, 9, 9, 9, 9, 9}};
  ASSERT_TRUE(in.value(value));
  EXPECT_EQ(value, Value(std::string("ab")));
  EXPECT_TRUE(in.atEnd());
}

// Rows are decoded into the values of earlier rows; a long value must not
// leave the values decoded after it holding its memory.
TEST(JetWireFormat, AValueDecodedAfterALongOneDoesNotKeepItsMemory) {
  WireWriter out;
  out.value(std::string(1u << 20, 'x'));
  out.value(std::string("short"));
  out.value(Bytes{std::vector<std::uint8_t>(1u << 20, 7)});
  out.value(Bytes{{1, 2}});
  WireReader in(out.buffer());
  Value text;
  Value bytes;
  ASSERT_TRUE(in.value(text) && in.value(text) && in.value(bytes) && in.value(bytes));
  EXPECT_EQ(text, Value(std::string("short")));
  EXPECT_LT(std::get<std::string>(text).capacity(), 1u << 20);
  EXPECT_EQ(bytes, Value(Bytes{{1, 2}}));
  EXPECT_LT(std::get<Bytes>(bytes).data.capacity(), 1u << 20);
}

TEST(JetWireFormat, ACutOrGarbledMessageFailsWithoutReadingPastItsEnd) {
  WireWriter out;
  for (const Value& value : EveryKindOfValue())
    out.value(value);
  const std::string whole = out.buffer();
  for (std::size_t length = 0; length < whole.size(); ++length) {
    WireReader in(std::string_view(whole).substr(0, length));
    Value read;
    std::size_t values = 0;
    while (in.value(read))
      ++values;
    EXPECT_FALSE(in.ok());
    EXPECT_LT(values, EveryKindOfValue().size());
  }
  // A length that claims more than there is.
  WireWriter lying;
  lying.u8(7);  // text
  lying.u32(1u << 30);
  WireReader in(lying.buffer());
  Value read;
  EXPECT_FALSE(in.value(read));
  // An unknown kind of value.
  const std::string unknownKind("\x63", 1);  // the reader only looks at these bytes
  WireReader unknown(unknownKind);
  EXPECT_FALSE(unknown.value(read));
}

TEST(JetWireFormat, TableDefinitionsTravelAndACutOneIsRefused) {
  TableDefinition table;
  table.name = "Orders";
  table.description = "every order";
  table.rowCount = 830;
  ColumnDefinition column;
  column.name = "Freight";
  column.type = JetType::Currency;
  column.defaultValue = "0";
  column.required = true;
  table.columns.push_back(column);
  IndexDefinition index;
  index.name = "PrimaryKey";
  index.primaryKey = index.unique = true;
  index.columns.push_back({"OrderID", true});
  table.indexes.push_back(index);

  WireWriter out;
  WriteTableDefinition(out, table);
  WireReader in(out.buffer());
  TableDefinition read;
  ASSERT_TRUE(ReadTableDefinition(in, read));
  EXPECT_EQ(read.name, "Orders");
  EXPECT_EQ(read.description, "every order");
  EXPECT_EQ(read.columns.at(0).defaultValue, "0");
  EXPECT_TRUE(read.columns.at(0).required);
  EXPECT_EQ(read.indexes.at(0).columns.at(0).name, "OrderID");

  const std::string whole = out.buffer();
  for (std::size_t length = 0; length < whole.size(); ++length) {
    WireReader cut(std::string_view(whole).substr(0, length));
    EXPECT_FALSE(ReadTableDefinition(cut, read)) << length;
  }
}

// A Jet 4 property blob: the names chunk, then a block for the table and one
// for the column "Price".
std::vector<std::uint8_t> PropertyBlob() {
  std::vector<std::uint8_t> blob = {'M', 'R', '2', 0};
  auto word = [](std::vector<std::uint8_t>& to, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      to.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  auto chunk = [&](std::uint16_t type, const std::vector<std::uint8_t>& body) {
    word(blob, static_cast<std::uint32_t>(body.size() + 6), 4);
    word(blob, type, 2);
    blob.insert(blob.end(), body.begin(), body.end());
  };
  std::vector<std::uint8_t> names;
  for (const std::string name : {"Description", "DefaultValue", "Required"}) {
    word(names, static_cast<std::uint32_t>(name.size()), 2);
    names.insert(names.end(), name.begin(), name.end());
  }
  chunk(0x80, names);
  auto block = [&](const std::string& owner, std::vector<std::uint8_t> values) {
    std::vector<std::uint8_t> body;
    word(body, 0, 4);
    word(body, static_cast<std::uint32_t>(owner.size()), 2);
    body.insert(body.end(), owner.begin(), owner.end());
    body.insert(body.end(), values.begin(), values.end());
    chunk(0x00, body);
  };
  auto value = [&](std::vector<std::uint8_t>& to, std::uint8_t type, std::uint16_t name,
                   const std::string& data) {
    word(to, static_cast<std::uint32_t>(8 + data.size()), 2);
    to.push_back(0);
    to.push_back(type);
    word(to, name, 2);
    word(to, static_cast<std::uint32_t>(data.size()), 2);
    to.insert(to.end(), data.begin(), data.end());
  };
  std::vector<std::uint8_t> table;
  value(table, 10, 0, "all prices");
  block("", table);
  std::vector<std::uint8_t> price;
  value(price, 10, 1, "=0");
  value(price, 1, 2, std::string(1, '\x01'));
  block("Price", price);
  return blob;
}

std::string AsText(std::span<const std::uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(JetPropertyBlocks, TheTableAndColumnBlocksAndTheirValues) {
  const std::vector<PropertyBlock> blocks = ParsePropertyBlocks(PropertyBlob(), AsText);
  ASSERT_EQ(blocks.size(), 2u);
  const PropertyBlock* table = FindPropertyBlock(blocks, "");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(PropertyText(*table->find("description"), AsText), "all prices");
  const PropertyBlock* price = FindPropertyBlock(blocks, "PRICE");
  ASSERT_NE(price, nullptr);
  EXPECT_EQ(PropertyText(*price->find("DefaultValue"), AsText), "=0");
  EXPECT_EQ(PropertyFlag(*price->find("Required")), true);
  EXPECT_EQ(PropertyFlag(*price->find("DefaultValue")), std::nullopt);
}

TEST(JetPropertyBlocks, DamagedBlobsGiveLessAndAlwaysEnd) {
  const std::vector<std::uint8_t> blob = PropertyBlob();
  for (std::size_t length = 0; length < blob.size(); ++length) {
    const std::vector<std::uint8_t> cut(blob.begin(), blob.begin() + length);
    EXPECT_LE(ParsePropertyBlocks(cut, AsText).size(), 2u);
  }
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> damaged = blob;
    damaged[4 + random() % (damaged.size() - 4)] = static_cast<std::uint8_t>(random());
    EXPECT_LE(ParsePropertyBlocks(damaged, AsText).size(), 2u);
  }
  // A chunk that claims no length would keep a naive reader where it is.
  std::vector<std::uint8_t> stuck = {'K', 'K', 'D', 0, 0, 0, 0, 0, 0x80, 0};
  EXPECT_TRUE(ParsePropertyBlocks(stuck, AsText).empty());
  EXPECT_TRUE(ParsePropertyBlocks(std::vector<std::uint8_t>{'X', 'Y', 'Z', 0}, AsText).empty());
}

TEST(JetPageRows, RowTablesThatPointOutsideThePageAreRefused) {
  const PageFormat format{2048, 0x08};
  std::vector<std::uint8_t> page(2048, 0);
  page[0] = 0x01;
  auto set = [&](std::size_t offset, std::uint16_t value) {
    page[offset] = static_cast<std::uint8_t>(value);
    page[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  };
  set(0x08, 2);     // two rows
  set(0x0A, 2000);  // row 0: 2000..2047
  set(0x0C, 1900);  // row 1: 1900..1999
  std::optional<RowBounds> row = FindRow(page, format, 0);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->start, 2000u);
  EXPECT_EQ(row->length, 48u);
  row = FindRow(page, format, 1);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->length, 100u);
  EXPECT_FALSE(FindRow(page, format, 2));

  set(0x0C, 2040);  // starts after the row before it ends
  EXPECT_FALSE(FindRow(page, format, 1));
  set(0x0C, 0x4000 | 1900);  // deleted or moved: still a valid place
  ASSERT_TRUE(FindRow(page, format, 1));
  EXPECT_TRUE(FindRow(page, format, 1)->deleted);
  set(0x0A, 4);  // inside the row table itself
  EXPECT_FALSE(FindRow(page, format, 0));
  set(0x08, 2000);  // a row count whose table would not fit in the page
  EXPECT_FALSE(FindRow(page, format, 0));
}

}  // namespace
}  // namespace tablift::jet
