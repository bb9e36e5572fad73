#include "mysql/statement_pieces.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tablift {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SplitStatementsTest, SeparatesAtSemicolonsOutsideNamesAndStrings) {
  EXPECT_THAT(SplitStatements("CREATE UNIQUE INDEX `a` ON `T` (`x`);\nCREATE UNIQUE INDEX `b` ON "
                              "`T` (`y`)\n"),
              ElementsAre("CREATE UNIQUE INDEX `a` ON `T` (`x`)",
                          "\nCREATE UNIQUE INDEX `b` ON `T` (`y`)\n"));
  // A name or a string holding ";" (and quotes inside them) stays whole.
  EXPECT_THAT(SplitStatements("alter table `a;b``c` add x;insert into t values ('it''s;', "
                              "'back\\';slash', \"d;q\")"),
              ElementsAre("alter table `a;b``c` add x",
                          "insert into t values ('it''s;', 'back\\';slash', \"d;q\")"));
  EXPECT_THAT(SplitStatements(" ;\n; "), IsEmpty());
  EXPECT_THAT(SplitStatements("one;;two;"), ElementsAre("one", "two"));
}

}  // namespace
}  // namespace tablift
