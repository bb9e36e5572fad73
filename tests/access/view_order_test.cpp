// Views put in the order MySQL can create them in: each after the views it
// reads.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "translate/view_order.h"

namespace tablift {
namespace {

using ::testing::ElementsAre;

TEST(ViewOrderTest, AViewComesAfterEveryViewItReadsWhateverTheCatalogOrder) {
  // "A" reads "C" (through a name in another letter case) and a table; "C"
  // reads "B"; "D" reads nothing.
  const QueryInputs inputs = {{"A", "c"}, {"A", "Orders"}, {"C", "B"}, {"B", "Orders"}};
  EXPECT_THAT(OrderViewsByInputs({"A", "B", "C", "D"}, inputs), ElementsAre("B", "C", "A", "D"));
  // Nothing to wait for: the catalog's order stays.
  EXPECT_THAT(OrderViewsByInputs({"Z", "Y"}, {}), ElementsAre("Z", "Y"));
}

TEST(ViewOrderTest, ViewsThatReadEachOtherInACircleAreStillAllTried) {
  const QueryInputs inputs = {{"A", "B"}, {"B", "A"}, {"C", "C"}, {"D", "A"}};
  EXPECT_THAT(OrderViewsByInputs({"D", "A", "B", "C"}, inputs), ElementsAre("C", "A", "D", "B"));
}

}  // namespace
}  // namespace tablift
