#include "data_access/ascii_text.h"

#include <gtest/gtest.h>

namespace tablift {
namespace {

// Names are compared without regard to the case of ASCII letters only: the
// bytes of UTF-8 letters pass unchanged whatever locale the program runs in,
// so "Größe" and "GRÖSSE" or "Ä" and "ä" stay different names.
TEST(AsciiText, FoldsAsciiLettersAndNothingElse) {
  EXPECT_EQ(ToLowerAscii("Order Details_1 [Ä]"), "order details_1 [Ä]");
  EXPECT_EQ(ToUpperAscii("{a1b2-ä}"), "{A1B2-ä}");
  EXPECT_EQ(ToLowerAscii('Q'), 'q');
  EXPECT_EQ(ToLowerAscii('\xC3'), '\xC3');
  EXPECT_TRUE(EqualsIgnoreCase("MSysObjects", "msysOBJECTS"));
  EXPECT_FALSE(EqualsIgnoreCase("Ä", "ä"));
  EXPECT_FALSE(EqualsIgnoreCase("Order", "Orders"));
  EXPECT_FALSE(EqualsIgnoreCase("[", "{"));  // 0x5B and 0x7B differ by 32 but are no letters
}

}  // namespace
}  // namespace tablift
