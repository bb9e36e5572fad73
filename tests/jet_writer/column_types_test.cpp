#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

using test::ReadCell;
using test::ReadTable;
using test::Utf16Le;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Byteses = std::vector<std::uint8_t>;

enum Column {
  kId,
  kText,
  kMemo,
  kByte,
  kInteger,
  kLong,
  kSingle,
  kDouble,
  kCurrency,
  kDecimal,
  kDate,
  kYesNo,
  kGuid,
  kBinary,
  kOle,
  kColumnCount
};

TableDesign AllTypes() {
  TableDesign design;
  design.name = "All Types";
  design.columns = {
      {.name = "Id", .type = JetType::Long, .autoNumber = true},
      {.name = "Name", .type = JetType::Text, .size = 20},
      {.name = "Notes", .type = JetType::Memo},
      {.name = "Small", .type = JetType::Byte},
      {.name = "Medium", .type = JetType::Integer},
      {.name = "Large", .type = JetType::Long},
      {.name = "Ratio", .type = JetType::Single},
      {.name = "Measure", .type = JetType::Double},
      {.name = "Price", .type = JetType::Currency},
      {.name = "Exact", .type = JetType::Decimal, .precision = 18, .scale = 4},
      {.name = "When", .type = JetType::DateTime},
      {.name = "Done", .type = JetType::Boolean},
      {.name = "Key", .type = JetType::ReplicationId},
      {.name = "Code", .type = JetType::Binary, .size = 16},
      {.name = "Picture", .type = JetType::OleObject},
  };
  return design;
}

std::vector<Value> TypicalRow() {
  return {Null{},
          std::string("Grüße 東京"),
          std::string("Line one\r\nLine \"two\" \\ done"),
          std::int64_t{200},
          std::int64_t{-1234},
          std::int64_t{2000000000},
          3.25,
          0.1,
          Currency{-1234567},
          Decimal{"12345.678"},
          DateTime{45000.75},
          true,
          Guid{"{6F9619FF-8B86-D011-B42D-00C04FC964FF}"},
          Bytes{{0, 1, 2, 0}},
          Bytes{{0, 0, 255, 0}}};
}

std::vector<Value> LimitsRow() {
  return {std::int64_t{100},
          std::string(20, 'x'),
          std::string(),
          std::int64_t{0},
          std::int64_t{-32768},
          std::int64_t{std::numeric_limits<std::int32_t>::min()},
          static_cast<double>(-std::numeric_limits<float>::max()),
          std::numeric_limits<double>::max(),
          Currency{std::numeric_limits<std::int64_t>::max()},
          Decimal{"-99999999999999.9999"},
          DateTime{-18262.25},  // 1850-01-01 06:00, before Access's day zero
          false,
          Guid{"{00000000-0000-0000-0000-000000000001}"},
          Bytes{{0, 0, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 0, 0}},
          Bytes{}};
}

std::vector<Value> NullRow() {
  std::vector<Value> row(kColumnCount, Null{});
  row[kYesNo] = false;
  return row;
}

class ColumnTypesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    directory_ = new tablift::test::ScopedTempDir;
    path_ = directory_->path() / "types.mdb";
    ASSERT_TRUE(test::WriteDatabase(path_, {{AllTypes(), {TypicalRow(), LimitsRow(), NullRow()}}}));
    test::LibmdbDatabase mdb(path_);
    ASSERT_TRUE(mdb.opened());
    table_ = new std::optional<ReadTable>(mdb.readTable("All Types"));
  }
  static void TearDownTestSuite() {
    delete table_;
    delete directory_;
  }
  void SetUp() override {
    ASSERT_TRUE(table_->has_value());
    ASSERT_EQ((*table_)->rows.size(), 3u);
  }

  static const ReadCell& cell(std::size_t row, Column column) {
    return (*table_)->rows.at(row).at(column);
  }
  template <typename T>
  static T raw(std::size_t row, Column column) {
    T value{};
    const auto& bytes = cell(row, column).bytes;
    EXPECT_EQ(bytes.size(), sizeof value);
    if (bytes.size() == sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
    return value;
  }

  static tablift::test::ScopedTempDir* directory_;
  static std::filesystem::path path_;
  static std::optional<ReadTable>* table_;
};

tablift::test::ScopedTempDir* ColumnTypesTest::directory_ = nullptr;
std::filesystem::path ColumnTypesTest::path_;
std::optional<ReadTable>* ColumnTypesTest::table_ = nullptr;

TEST_F(ColumnTypesTest, LibmdbSeesEveryColumnWithItsTypeAndSize) {
  const ReadTable& table = **table_;
  const TableDesign design = AllTypes();
  ASSERT_EQ(table.columns.size(), design.columns.size());
  for (std::size_t i = 0; i < design.columns.size(); ++i) {
    EXPECT_EQ(table.columns[i].name, design.columns[i].name);
    EXPECT_EQ(table.columns[i].type, static_cast<int>(design.columns[i].type))
        << design.columns[i].name;
  }
  EXPECT_EQ(table.columns[kText].size, 40);  // two bytes per character
  EXPECT_EQ(table.columns[kBinary].size, 16);
  EXPECT_EQ(table.columns[kDecimal].precision, 18);
  EXPECT_EQ(table.columns[kDecimal].scale, 4);
  EXPECT_TRUE(table.columns[kId].autoNumber);
  EXPECT_FALSE(table.columns[kLong].autoNumber);
  EXPECT_EQ(table.declaredRows, 3u);
}

TEST_F(ColumnTypesTest, TypicalValuesReadBackExactly) {
  EXPECT_EQ(cell(0, kId).text, "1");
  EXPECT_EQ(cell(0, kText).text, "Grüße 東京");
  EXPECT_EQ(cell(0, kText).bytes, Utf16Le(u"Grüße 東京"));
  EXPECT_EQ(cell(0, kMemo).text, "Line one\r\nLine \"two\" \\ done");
  EXPECT_EQ(cell(0, kByte).text, "200");
  EXPECT_EQ(cell(0, kInteger).text, "-1234");
  EXPECT_EQ(cell(0, kLong).text, "2000000000");
  EXPECT_EQ(raw<float>(0, kSingle), 3.25f);
  EXPECT_EQ(raw<double>(0, kDouble), 0.1);
  EXPECT_EQ(cell(0, kDouble).text, "0.1");
  EXPECT_EQ(cell(0, kCurrency).text, "-123.4567");
  EXPECT_EQ(cell(0, kDecimal).text, "12345.6780");
  EXPECT_EQ(cell(0, kDate).text, "2023-03-15 18:00:00");
  EXPECT_EQ(cell(0, kYesNo).text, "1");
  EXPECT_EQ(cell(0, kGuid).text, "{6F9619FF-8B86-D011-B42D00C04FC964FF}");
  EXPECT_EQ(cell(0, kBinary).bytes, (Byteses{0, 1, 2, 0}));
  EXPECT_EQ(cell(0, kOle).bytes, (Byteses{0, 0, 255, 0}));
}

TEST_F(ColumnTypesTest, RangeLimitsReadBackExactly) {
  EXPECT_EQ(cell(1, kId).text, "100");
  EXPECT_EQ(cell(1, kText).text, std::string(20, 'x'));
  EXPECT_EQ(cell(1, kByte).text, "0");
  EXPECT_EQ(cell(1, kInteger).text, "-32768");
  EXPECT_EQ(cell(1, kLong).text, "-2147483648");
  EXPECT_EQ(raw<float>(1, kSingle), -std::numeric_limits<float>::max());
  EXPECT_EQ(raw<double>(1, kDouble), std::numeric_limits<double>::max());
  EXPECT_EQ(cell(1, kCurrency).text, "922337203685477.5807");
  EXPECT_EQ(cell(1, kDecimal).text, "-99999999999999.9999");
  // libmdb formats no date before 1899-12-30; the stored number is exact.
  EXPECT_EQ(raw<double>(1, kDate), -18262.25);
  EXPECT_EQ(cell(1, kYesNo).text, "0");
  EXPECT_EQ(cell(1, kGuid).text, "{00000000-0000-0000-0000000000000001}");
  EXPECT_EQ(cell(1, kBinary).bytes, (Byteses{0, 0, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 0, 0}));
}

// Characters beyond the Basic Multilingual Plane are stored as UTF-16
// surrogate pairs, as Access stores them. (libmdb decodes Jet 4 text as
// UCS-2 and shows each half as "?"; its raw bytes are what is checked here.)
TEST(NonBmpTextTest, CharactersBeyondTheBmpAreStoredAsSurrogatePairs) {
  tablift::test::ScopedTempDir directory;
  const auto path = directory.path() / "emoji.mdb";
  TableDesign design{"Emoji",
                     {{.name = "Short", .type = JetType::Text, .size = 5},
                      {.name = "Long", .type = JetType::Memo}}};
  // Three characters, five UTF-16 units: the size counts units, as Access does.
  ASSERT_TRUE(test::WriteDatabase(path, {{design, {{std::string("😀é😀"), std::string("x😀")}}}}));
  test::LibmdbDatabase mdb(path);
  const auto table = mdb.readTable("Emoji");
  ASSERT_TRUE(table.has_value());
  ASSERT_EQ(table->rows.size(), 1u);
  EXPECT_EQ(table->rows[0][0].bytes, Utf16Le(u"😀é😀"));
  EXPECT_EQ(table->rows[0][1].bytes, Utf16Le(u"x😀"));
}

TEST_F(ColumnTypesTest, EmptyTextAndBinaryAreValuesNotNull) {
  EXPECT_FALSE(cell(1, kMemo).null);
  EXPECT_THAT(cell(1, kMemo).bytes, IsEmpty());
  EXPECT_FALSE(cell(1, kOle).null);
  EXPECT_THAT(cell(1, kOle).bytes, IsEmpty());
}

TEST_F(ColumnTypesTest, NullReadsBackAsNullInEveryNullableType) {
  for (int column = kText; column < kColumnCount; ++column) {
    if (column == kYesNo) continue;
    EXPECT_TRUE(cell(2, static_cast<Column>(column)).null) << "column " << column;
  }
  EXPECT_EQ(cell(2, kYesNo).text, "0");
  // After an explicit 100 the next number is 101.
  EXPECT_EQ(cell(2, kId).text, "101");
}

TEST_F(ColumnTypesTest, MdbToolsExportAndDescribeTheTable) {
  const auto schema = test::RunMdbTool("mdb-schema", {"-T", "All Types", path_.string(), "access"});
  EXPECT_EQ(schema.exitCode, 0);
  EXPECT_THAT(schema.out, HasSubstr("[Name]\t\t\tText (20)"));
  EXPECT_THAT(schema.out, HasSubstr("[Notes]\t\t\tMemo/Hyperlink (255)"));
  EXPECT_THAT(schema.out, HasSubstr("[Exact]\t\t\tNumeric (18, 4)"));
  EXPECT_THAT(schema.out, HasSubstr("[Done]\t\t\tBoolean NOT NULL"));

  // mdb-export prints binary columns from their text form, which ends at the
  // first zero byte; OLE objects go through its long-value reader.
  const auto exported = test::RunMdbTool(
      "mdb-export", {"-T", "%Y-%m-%d %H:%M:%S", "-b", "hex", path_.string(), "All Types"});
  EXPECT_EQ(exported.exitCode, 0);
  EXPECT_THAT(exported.err, IsEmpty());
  EXPECT_THAT(exported.out,
              HasSubstr("1,\"Grüße 東京\",\"Line one\r\nLine \"\"two\"\" \\ done\",200,-1234,"
                        "2000000000,3.25,0.1,-123.4567,12345.6780,\"2023-03-15 18:00:00\",1,"));
  EXPECT_THAT(exported.out, HasSubstr(",\"0000FF00\"\n100,\"xxxxxxxxxxxxxxxxxxxx\",,0,-32768,"));
  EXPECT_THAT(exported.out, HasSubstr("\n101,,,,,,,,,,,0,,,\n"));
}

}  // namespace
}  // namespace tablift::jet
