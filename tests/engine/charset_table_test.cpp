#include "mysql/charset_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tablift {
namespace {

TEST(CharsetTableTest, IndexesNamesAndIdsFollowTheDialogOrder) {
  // "cp850" and "hp8" stand in the order of the dialog, not of their ids.
  EXPECT_EQ(CharsetNameAt(2), "CP850");
  EXPECT_EQ(CharsetChoices()[2].id, 1027);
  EXPECT_EQ(CharsetNameAt(3), "HP8");
  EXPECT_EQ(CharsetChoices()[3].id, 1026);
  // The set that holds every character follows the classic ones.
  EXPECT_EQ(CharsetNameAt(36), "UTF8MB4");
  EXPECT_EQ(CharsetNameAt(37), "UNKNOWN");
  EXPECT_EQ(CharsetNameAt(-1), "UNKNOWN");
  // Names are found exactly, case and all.
  EXPECT_EQ(CharsetIndexOf("LATIN1"), 5);
  EXPECT_EQ(CharsetIndexOf("latin1"), -1);
  EXPECT_EQ(CharsetIndexOf("UTF16"), -1);

  std::set<int> ids;
  std::set<std::string_view> names;
  for (const CharsetChoice& choice : CharsetChoices()) {
    ids.insert(choice.id);
    names.insert(choice.name);
  }
  EXPECT_EQ(ids.size(), CharsetChoices().size());
  EXPECT_EQ(names.size(), CharsetChoices().size());
}

}  // namespace
}  // namespace tablift
