// The sample database read back with the mdb-* tools of libmdb.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mdbtools.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "access/sample_database.h"
#include "access/sample_rows.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;

constexpr char kFieldSeparator = '\x1f';
constexpr char kRowSeparator = '\x1e';

// Runs a command through the shell; its standard output, or nothing when it fails.
std::optional<std::string> RunTool(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return std::nullopt;
  std::string out;
  std::array<char, 65536> buffer;
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;) {
    out.append(buffer.data(), n);
  }
  const int status = pclose(pipe.release());
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (c == separator) {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

using Rows = std::vector<std::vector<std::string>>;

// A table through mdb-export: no header, no quotes, NULL as "<NULL>", binary as
// hex, dates as ISO text.
std::optional<Rows> Export(const std::filesystem::path& file, const std::string& table) {
  const auto out = RunTool(
      "mdb-export -H -Q -b hex -0 '<NULL>' -D '%Y-%m-%d' -T '%Y-%m-%d %H:%M:%S' -d " +
      Quoted(std::string(1, kFieldSeparator)) + " -R " + Quoted(std::string(1, kRowSeparator)) +
      " " + Quoted(file.string()) + " " + Quoted(table));
  if (!out) return std::nullopt;
  Rows rows;
  for (const auto& line : Split(*out, kRowSeparator))
    rows.push_back(Split(line + kFieldSeparator, kFieldSeparator));
  return rows;
}

// The stored bytes of each column of one row, read with libmdb (Null: nothing).
// Long values are left out; mdb-export shows those.
using RawRow = std::vector<std::optional<std::vector<std::uint8_t>>>;

std::optional<RawRow> ReadRawRow(const std::filesystem::path& file, const std::string& tableName,
                                 unsigned rowIndex) {
  std::unique_ptr<MdbHandle, void (*)(MdbHandle*)> mdb(mdb_open(file.c_str(), MDB_NOFLAGS),
                                                       mdb_close);
  if (!mdb || mdb_read_catalog(mdb.get(), MDB_TABLE) == nullptr) return std::nullopt;
  std::string name = tableName;
  std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> table(
      mdb_read_table_by_name(mdb.get(), name.data(), MDB_TABLE), mdb_free_tabledef);
  if (!table || mdb_read_columns(table.get()) == nullptr) return std::nullopt;
  mdb_rewind_table(table.get());
  for (unsigned i = 0; i <= rowIndex; ++i) {
    if (!mdb_fetch_row(table.get())) return std::nullopt;
  }
  int rowStart = 0;
  std::size_t rowSize = 0;
  std::vector<MdbField> fields(table->num_cols);
  if (mdb_find_row(mdb.get(), static_cast<int>(table->cur_row) - 1, &rowStart, &rowSize) != 0 ||
      mdb_crack_row(table.get(), rowStart & 0x1FFF, rowSize, fields.data()) < 0) {
    return std::nullopt;
  }
  RawRow row;
  for (unsigned i = 0; i < table->num_cols; ++i) {
    if (fields[i].is_null != 0) {
      row.emplace_back(std::nullopt);
    } else {
      const auto* start = mdb->pg_buf + fields[i].start;
      row.emplace_back(std::vector<std::uint8_t>(start, start + fields[i].siz));
    }
  }
  return row;
}

double AsDouble(const std::vector<std::uint8_t>& bytes) {
  double value = 0;
  if (bytes.size() == sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (auto& line : Split(text, '\n')) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

class SampleDatabaseTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    directory_ = new test::ScopedTempDir();
    path_ = directory_->path() / "sample.mdb";
    status_ = new jet::WriteStatus(WriteSampleDatabase(path_, 120, summary_));
  }
  static void TearDownTestSuite() {
    delete status_;
    delete directory_;
  }
  void SetUp() override { ASSERT_TRUE(status_->ok()) << status_->message(); }

  static Rows MustExport(const std::string& table) {
    auto rows = Export(path_, table);
    EXPECT_TRUE(rows.has_value()) << "mdb-export failed for " << table;
    return rows.value_or(Rows{});
  }

  static inline test::ScopedTempDir* directory_ = nullptr;
  static inline std::filesystem::path path_;
  static inline jet::WriteStatus* status_ = nullptr;
  static inline SampleSummary summary_;
};

// --- Catalog: tables, relationships, queries ---

TEST_F(SampleDatabaseTest, ListsEveryTableIncludingBlankAndReservedNames) {
  const auto out = RunTool("mdb-tables -1 " + Quoted(path_.string()));
  ASSERT_TRUE(out.has_value());
  EXPECT_THAT(Lines(*out), IsSupersetOf({"Categories", "Customers", "Employees", "Shippers",
                                         "Products", "Order", "Order Details", "Awkward Values"}));
  EXPECT_EQ(summary_.tables, 8);
}

TEST_F(SampleDatabaseTest, SchemaCarriesKeysAndRelationships) {
  const auto out = RunTool("mdb-schema " + Quoted(path_.string()) + " mysql");
  ASSERT_TRUE(out.has_value());
  EXPECT_THAT(*out, HasSubstr("`Order Details`"));
  EXPECT_THAT(*out, HasSubstr("PRIMARY KEY (`OrderId`, `LineNo`)"));
  EXPECT_THAT(*out, HasSubstr("ON DELETE CASCADE"));
}

TEST_F(SampleDatabaseTest, SchemaHasUniqueIndexAutoNumberAndPlainRelationship) {
  const auto out = RunTool("mdb-schema " + Quoted(path_.string()) + " mysql 2>/dev/null");
  ASSERT_TRUE(out.has_value());
  EXPECT_THAT(*out, HasSubstr("ALTER TABLE `Products` ADD UNIQUE INDEX `SKU` (`SKU`);"));
  EXPECT_THAT(*out, HasSubstr("`EmployeeId`\t\t\tint not null auto_increment unique NOT NULL\n);"));
  EXPECT_THAT(*out, HasSubstr("FOREIGN KEY (`CustomerCode`) REFERENCES `Customers`(`CustomerCode`) "
                              "ON UPDATE CASCADE;"));
  EXPECT_THAT(*out, HasSubstr("FOREIGN KEY (`ProductId`) REFERENCES `Products`(`ProductId`);"));
  EXPECT_THAT(*out, HasSubstr("Relationship from `Order` (`ShipVia`) to `Shippers`(`ShipperId`) "
                              "does not enforce integrity."));
}

TEST_F(SampleDatabaseTest, DesignPropertiesAreKept) {
  const auto out = RunTool("mdb-prop " + Quoted(path_.string()) + " Customers");
  ASSERT_TRUE(out.has_value());
  EXPECT_THAT(
      *out,
      HasSubstr("name: CustomerCode\n\tRequired: yes\n\tDescription: Letters and digits only"));
  EXPECT_THAT(*out, HasSubstr("name: Active\n\tDefaultValue: =No\n"));
  EXPECT_THAT(*out, HasSubstr("Description: Who buys"));
}

TEST_F(SampleDatabaseTest, RelationshipsAppearInMSysRelationships) {
  const auto rows = MustExport("MSysRelationships");
  std::vector<std::string> names;
  for (const auto& row : rows)
    names.push_back(row.at(7));
  const auto header =
      RunTool("mdb-export " + Quoted(path_.string()) + " MSysRelationships | head -1");
  ASSERT_TRUE(header.has_value());
  ASSERT_THAT(*header, HasSubstr("szRelationship"));
  EXPECT_THAT(*RunTool("mdb-export " + Quoted(path_.string()) + " MSysRelationships"),
              ::testing::AllOf(HasSubstr("OrderOrder Details"), HasSubstr("CustomersOrder"),
                               HasSubstr("ShippersOrder"), HasSubstr("ProductsOrder Details")));
  EXPECT_EQ(summary_.relationships, 6);
}

TEST_F(SampleDatabaseTest, QueriesAreListedAndReadable) {
  const auto list = RunTool("mdb-queries -L -1 " + Quoted(path_.string()) + " 2>/dev/null");
  if (!list) GTEST_SKIP() << "mdb-queries is not available";
  EXPECT_THAT(Lines(*list),
              IsSupersetOf({"Customer List", "Order Lines", "Heavy Freight", "Sales By Product",
                            "Products By Price", "Orders Of Customer"}));
  const auto filtered = RunTool("mdb-queries " + Quoted(path_.string()) + " 'Heavy Freight'");
  ASSERT_TRUE(filtered.has_value());
  EXPECT_THAT(*filtered, HasSubstr("FROM [Order] WHERE [Order].Freight > 100"));
  const auto ordered = RunTool("mdb-queries " + Quoted(path_.string()) + " 'Products By Price'");
  ASSERT_TRUE(ordered.has_value());
  EXPECT_THAT(*ordered, HasSubstr("ORDER BY Products.UnitPrice DESC"));
  EXPECT_EQ(summary_.queries, 6);
}

// mdb-queries leaves out aliases, joins, grouping and parameters, so their
// rows in MSysQueries are checked: attribute, Name1, Name2, Expression.
TEST_F(SampleDatabaseTest, QueryPartsAreStoredInMSysQueries) {
  const auto rows = MustExport("MSysQueries");
  std::vector<std::string> parts;
  for (const auto& row : rows) {
    if (row.size() >= 6) parts.push_back(row[1] + "|" + row[3] + "|" + row[4] + "|" + row[5]);
  }
  EXPECT_THAT(parts, IsSupersetOf({
                         "6|Code|<NULL>|Customers.CustomerCode",
                         "7|Order|Order Details|[Order].OrderId = [Order Details].OrderId",
                         "9|<NULL>|<NULL>|[Order Details].ProductId",
                         "6|TotalQuantity|<NULL>|Sum([Order Details].Quantity)",
                         "2|Which customer?|<NULL>|<NULL>",
                     }));
}

// --- Rows and awkward values ---

TEST_F(SampleDatabaseTest, BigTablesHaveTheRequestedRows) {
  EXPECT_EQ(MustExport("Order").size(), 120u);
  EXPECT_EQ(MustExport("Order Details").size(), 120u);
  EXPECT_EQ(MustExport("Customers").size(), 30u);
}

TEST_F(SampleDatabaseTest, NullInEveryTypeExportsAsNull) {
  const auto rows = MustExport("Awkward Values");
  ASSERT_EQ(rows.size(), 6u);
  ASSERT_EQ(rows[0].size(), 15u);
  for (std::size_t column = 1; column < rows[0].size(); ++column) {
    if (column == 11) continue;  // Yes/No has no Null: its bit is the value
    EXPECT_EQ(rows[0][column], "<NULL>") << "column " << column;
  }
  EXPECT_EQ(rows[0][11], "0");
}

TEST_F(SampleDatabaseTest, AwkwardTextNumbersAndDatesExportExactly) {
  const auto rows = MustExport("Awkward Values");
  ASSERT_EQ(rows.size(), 6u);
  const auto& awkward = rows[1];
  ASSERT_EQ(awkward.size(), 15u);
  EXPECT_EQ(awkward[2].size(), 9000u);  // a Memo longer than 8 KB, on long-value pages
  EXPECT_THAT(awkward[2], ::testing::StartsWith("Line 0: \"quoted\", back\\slash"));
  EXPECT_EQ(awkward[8], "12345.6789");  // Currency with four decimals
  EXPECT_EQ(awkward[9], "-123456789012345678.1234567890");
  EXPECT_EQ(awkward[5], "-2147483648");
  EXPECT_EQ(rows[2][1], "O'Reilly said \"hi\" \\ C:\\path\\");
  EXPECT_EQ(rows[2][8], "-0.9999");
  EXPECT_EQ(rows[2][10], "2099-12-31 23:59:00");  // after 2038
  EXPECT_EQ(rows[5][10], "2038-01-19 03:14:00");
}

TEST_F(SampleDatabaseTest, StoredBytesKeepZerosEmojiAndOldDates) {
  // mdb-export cuts binary at the first zero byte, prints dates before 1900 as
  // "1900-01-00" and emoji as "??", so these are checked on the stored bytes.
  const auto row = ReadRawRow(path_, "Awkward Values", 1);
  ASSERT_TRUE(row.has_value());
  ASSERT_EQ(row->size(), 15u);
  ASSERT_TRUE((*row)[13].has_value());
  EXPECT_EQ(*(*row)[13], (std::vector<std::uint8_t>{0, 0, 1, 2, 0, 0}));
  ASSERT_TRUE((*row)[10].has_value());
  EXPECT_EQ(AsDouble(*(*row)[10]), -18260.0);  // 1850-01-01
  ASSERT_TRUE((*row)[1].has_value());
  const std::vector<std::uint8_t> smile = {'S', 0, 'm', 0, 'i',  0,    'l',  0,
                                           'e', 0, ' ', 0, 0x3D, 0xD8, 0x00, 0xDE};
  ASSERT_GE((*row)[1]->size(), smile.size());
  EXPECT_TRUE(std::equal(smile.begin(), smile.end(), (*row)[1]->begin()));

  const auto zeros = ReadRawRow(path_, "Awkward Values", 4);
  ASSERT_TRUE(zeros.has_value());
  ASSERT_TRUE((*zeros)[13].has_value());
  EXPECT_EQ(*(*zeros)[13], std::vector<std::uint8_t>(32, 0));
  EXPECT_EQ(AsDouble(*(*zeros)[10]), -53688.0);  // 1753-01-01
}

TEST(SampleDates, AccessDaysCountFromTheLastDaysOf1899) {
  EXPECT_EQ(sample::AccessDate(1899, 12, 30), 0.0);
  EXPECT_EQ(sample::AccessDate(1900, 3, 1), 61.0);
  EXPECT_EQ(sample::AccessDate(1850, 1, 1), -18260.0);
  EXPECT_EQ(sample::AccessDate(2038, 1, 19, 3, 14), 50424.0 + (3 * 60 + 14) / 1440.0);
}

TEST_F(SampleDatabaseTest, AutoNumberKeyIsTheLastColumnAndNumbered) {
  const auto rows = MustExport("Employees");
  ASSERT_EQ(rows.size(), 9u);
  for (std::size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows[i].back(), std::to_string(i + 1));
}

// --- Scaling, determinism and refusals ---

TEST(SampleDatabaseWriting, RowsScaleTheTwoBigTables) {
  test::ScopedTempDir directory;
  SampleSummary summary;
  const auto path = directory.path() / "scaled.mdb";
  ASSERT_TRUE(WriteSampleDatabase(path, 700, summary).ok());
  EXPECT_EQ(Export(path, "Order").value_or(Rows{}).size(), 700u);
  EXPECT_EQ(Export(path, "Order Details").value_or(Rows{}).size(), 700u);
  EXPECT_EQ(Export(path, "Products").value_or(Rows{}).size(), 77u);
  EXPECT_EQ(summary.rows, 1400u + 30 + 9 + 8 + 3 + 77 + 6);
}

TEST(SampleDatabaseWriting, SameRowsEveryTime) {
  test::ScopedTempDir directory;
  SampleSummary summary;
  ASSERT_TRUE(WriteSampleDatabase(directory.path() / "a.mdb", 50, summary).ok());
  ASSERT_TRUE(WriteSampleDatabase(directory.path() / "b.mdb", 50, summary).ok());
  EXPECT_EQ(Export(directory.path() / "a.mdb", "Order"),
            Export(directory.path() / "b.mdb", "Order"));
  EXPECT_EQ(Export(directory.path() / "a.mdb", "Products"),
            Export(directory.path() / "b.mdb", "Products"));
}

TEST(SampleDatabaseWriting, RefusesAnExistingFile) {
  test::ScopedTempDir directory;
  const auto path = directory.path() / "taken.mdb";
  std::ofstream(path) << "keep me";
  SampleSummary summary;
  const auto status = WriteSampleDatabase(path, 10, summary);
  EXPECT_EQ(status.error(), jet::WriteError::FileExists);
  std::ifstream kept(path);
  std::string content;
  std::getline(kept, content);
  EXPECT_EQ(content, "keep me");
}

}  // namespace
}  // namespace tablift
