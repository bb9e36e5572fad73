#include <gtest/gtest.h>

#include "core/environment_references.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

// (The USERPROFILE fallback is checked where it matters, in driver discovery.)
TEST(EnvironmentReferences, ExpandEachNameOnceEverywhereAndLeaveLonePercentSigns) {
  ScopedEnvironment drive("TABLIFT_DRIVE", std::string("/opt/odbc"));
  ScopedEnvironment unset("TABLIFT_UNSET", std::nullopt);
  // A value naming itself would otherwise be expanded forever.
  ScopedEnvironment loop("TABLIFT_LOOP", std::string("%TABLIFT_LOOP%"));

  EXPECT_EQ(ExpandEnvironmentReferences("%TABLIFT_DRIVE%/lib/%TABLIFT_DRIVE%"),
            "/opt/odbc/lib//opt/odbc");
  EXPECT_EQ(ExpandEnvironmentReferences("%TABLIFT_DRIVE%%TABLIFT_UNSET%x"), "/opt/odbcx");
  EXPECT_EQ(ExpandEnvironmentReferences("/data/100%/x"), "/data/100%/x");
  EXPECT_EQ(ExpandEnvironmentReferences("%TABLIFT_DRIVE%/50%"), "/opt/odbc/50%");
  EXPECT_EQ(ExpandEnvironmentReferences("a/%TABLIFT_LOOP%/%TABLIFT_DRIVE%"),
            "a/%TABLIFT_LOOP%//opt/odbc");
}

}  // namespace
}  // namespace tablift::test
