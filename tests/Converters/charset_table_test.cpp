#include "Converters/charset_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tablift {
namespace {

TEST(CharsetTableTest, IndexesNamesAndIdsFollowTheDialogOrder) {
  EXPECT_EQ(CharsetNameAt(0), "BIG5");
  EXPECT_EQ(CharsetNameAt(2), "CP850");
  EXPECT_EQ(CharsetChoices()[2].id, 1027);
  EXPECT_EQ(CharsetNameAt(3), "HP8");
  EXPECT_EQ(CharsetChoices()[3].id, 1026);
  EXPECT_EQ(CharsetNameAt(5), "LATIN1");
  EXPECT_EQ(CharsetNameAt(21), "UTF8");
  EXPECT_EQ(CharsetNameAt(35), "EUCJPMS");
  EXPECT_EQ(CharsetChoices()[35].id, 1059);
  // The set that holds every character follows the classic ones.
  EXPECT_EQ(CharsetNameAt(36), "UTF8MB4");
  EXPECT_EQ(CharsetNameAt(37), "UNKOWNEN");
  EXPECT_EQ(CharsetNameAt(-1), "UNKOWNEN");

  // Every radio is the lower-case name, with an id and a name of its own.
  std::set<int> ids;
  std::set<std::string> names;
  for (const CharsetChoice& choice : CharsetChoices()) {
    std::string lower(choice.name);
    for (char& c : lower)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(choice.radio, lower);
    ids.insert(choice.id);
    names.insert(std::string(choice.name));
  }
  EXPECT_EQ(ids.size(), CharsetChoices().size());
  EXPECT_EQ(names.size(), CharsetChoices().size());
  EXPECT_EQ(CharsetChoices()[17].description, " Windows Central European");
}

TEST(CharsetTableTest, NamesAreFoundExactly) {
  EXPECT_EQ(CharsetIndexOf("LATIN1"), 5);
  EXPECT_EQ(CharsetIndexOf("CP850"), 2);
  EXPECT_EQ(CharsetIndexOf("UTF8MB4"), 36);
  EXPECT_EQ(CharsetIndexOf("latin1"), -1);
  EXPECT_EQ(CharsetIndexOf("UTF16"), -1);
  EXPECT_EQ(CharsetIndexOf(""), -1);
}

}  // namespace
}  // namespace tablift
