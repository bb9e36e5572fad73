// The consumer objects of the data access layer on their own: property sets,
// the provider registry, and the text accessor over a rowset whose rows are
// already at hand (the form the providers use for catalog rowsets).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data_access/data_source.h"
#include "data_access/error_texts.h"
#include "data_access/memory_rowset.h"
#include "data_access/property_set.h"
#include "data_access/provider_registry.h"
#include "data_access/rowset.h"
#include "data_access/text_accessor.h"

namespace tablift {
namespace {

TEST(PropertySetTest, EveryAddAppendsEvenForTheSameProperty) {
  PropertySet set(PropertySetId::Rowset);
  set.addBool(DBPROP_IRowset, true);
  set.addBool(DBPROP_IRowset, true);
  set.addInt32(DBPROP_UPDATABILITY, DBPROPVAL_UP_ALL);
  ASSERT_EQ(set.properties().size(), 3u);
  EXPECT_EQ(set.properties()[0].id, DBPROP_IRowset);
  EXPECT_EQ(set.properties()[1].id, DBPROP_IRowset);
}

TEST(ProviderRegistryTest, KnowsTheOdbcProviderWhateverTheCase) {
  Clsid clsid = nullptr;
  EXPECT_EQ(CLSIDFromProgID("MSDASQL", clsid), S_OK);
  ASSERT_NE(clsid, nullptr);
  Clsid lower = nullptr;
  EXPECT_EQ(CLSIDFromProgID("msdasql", lower), S_OK);
  EXPECT_EQ(lower, clsid);
}

TEST(ProviderRegistryTest, AnUnknownProgIdFailsAndOpensNothing) {
  Clsid clsid = nullptr;
  EXPECT_EQ(CLSIDFromProgID("Nobody.Provider.1", clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(clsid, nullptr);

  DataSource dataSource;
  EXPECT_TRUE(Failed(dataSource.open(clsid, nullptr, 0)));
  EXPECT_FALSE(dataSource.isOpen());
  EXPECT_EQ(DescribeOleDbError(&dataSource, InterfaceId::IDBInitialize), "Unknown Error!");
}

ColumnValue Text(std::string text) {
  return ColumnValue{std::move(text), false};
}

class TextAccessorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<ColumnInfo> columns(3);
    for (std::size_t i = 0; i < columns.size(); ++i) {
      columns[i].name = "c" + std::to_string(i + 1);
      columns[i].ordinal = i + 1;
    }
    // A 9000-character value, one whose cut would split "é", and a NULL.
    long_ = std::string(9000, 'x');
    split_ = std::string(8190, 'a') + "\xC3\xA9" + "tail";
    std::vector<MemoryRowset::Row> rows = {{Text(long_), Text(split_), ColumnValue{}},
                                           {Text(""), Text("short"), Text("3")}};
    rowset_.attach(std::make_unique<MemoryRowset>(std::move(columns), std::move(rows)));
  }

  Rowset rowset_;
  std::string long_;
  std::string split_;
};

TEST_F(TextAccessorTest, SlotsHoldTextLengthAndStatusWithLongValuesCut) {
  TextAccessor accessor;
  ASSERT_EQ(accessor.bind(rowset_), S_OK);
  ASSERT_EQ(accessor.columnCount(), 3u);
  ASSERT_EQ(rowset_.moveNext(), S_OK);

  EXPECT_EQ(accessor.text(1), std::string(8191, 'x'));
  // The slot layout: terminated text, then length at +8192 and status at +8196.
  EXPECT_EQ(accessor.slot(1)[8191], 0);
  EXPECT_EQ(accessor.length(1), 8191u);
  // The cut falls before the two-byte character that would not fit whole.
  EXPECT_EQ(accessor.text(2), std::string(8190, 'a'));
  EXPECT_TRUE(accessor.isNull(3));
  EXPECT_EQ(accessor.status(3), 3u);

  ColumnValue whole;
  ASSERT_EQ(rowset_.readValue(1, whole), S_OK);
  EXPECT_EQ(whole.text, long_);

  ASSERT_EQ(rowset_.moveNext(), S_OK);
  EXPECT_EQ(accessor.text(1), "");
  EXPECT_FALSE(accessor.isNull(1));
  EXPECT_EQ(accessor.text(3), "3");
  EXPECT_EQ(rowset_.moveNext(), DB_S_ENDOFROWSET);
  EXPECT_FALSE(rowset_.rowHeld());
}

TEST_F(TextAccessorTest, ClosingTheRowsetFirstLeavesTheAccessorSafe) {
  auto accessor = std::make_unique<TextAccessor>();
  ASSERT_EQ(accessor->bind(rowset_), S_OK);
  rowset_.close();
  accessor.reset();  // must not touch the closed rowset
  SUCCEED();
}

TEST(CutAtCharacterBoundaryTest, NeverSplitsAUtf8Character) {
  EXPECT_EQ(CutAtCharacterBoundary("abc", 5), "abc");
  EXPECT_EQ(CutAtCharacterBoundary("ab\xE2\x82\xAC", 4), "ab");  // "€" needs 3 bytes
  EXPECT_EQ(CutAtCharacterBoundary("ab\xE2\x82\xAC", 5), "ab\xE2\x82\xAC");
  EXPECT_EQ(CutAtCharacterBoundary("\xF0\x9F\x98\x80z", 3), "");
}

}  // namespace
}  // namespace tablift
