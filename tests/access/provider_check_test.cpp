// The Access side's installation report: its fields for given facts, and its
// shape on this machine.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/provider_check.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBothProviders =
    "Microsoft Jet 4.0 OLE DB Provider|Installed|Usable|"
    "Microsoft OLE DB Provider for ODBC Drivers|Installed|Usable|";

ProviderFacts Usable() {
  ProviderFacts facts;
  facts.jetInstalled = facts.jetUsable = facts.odbcInstalled = facts.odbcUsable = true;
  return facts;
}

TEST(ProviderCheckTest, WithoutAnAccessDriverTheReportSaysSo) {
  ProviderFacts facts = Usable();
  facts.drivers = {{"MariaDB Unicode", true, "libmaodbc.so", ""}};
  EXPECT_EQ(DescribeProviders(facts),
            std::string(kBothProviders) + "Microsoft Access Driver|Not installed|Unusable|");
}

TEST(ProviderCheckTest, AnUnusableOdbcProviderEndsTheReport) {
  ProviderFacts facts = Usable();
  facts.odbcUsable = false;
  facts.drivers = {{"MDBTools", true, "libmdbodbc.so", ""}};
  EXPECT_EQ(DescribeProviders(facts),
            "Microsoft Jet 4.0 OLE DB Provider|Installed|Usable|"
            "Microsoft OLE DB Provider for ODBC Drivers|Installed|Unusable|");
  facts = Usable();
  facts.jetInstalled = facts.jetUsable = false;
  EXPECT_TRUE(DescribeProviders(facts).starts_with(
      "Microsoft Jet 4.0 OLE DB Provider|Not Installed|Unusable|"));
}

TEST(ProviderCheckTest, AccessDriversByNameOrByTheMdbToolsLibrary) {
  test::ScopedTempDir dir;
  const fs::path library = dir.path() / "libmdbodbc.so";
  std::ofstream(library) << "stands in for the library";
  ProviderFacts facts = Usable();
  facts.drivers = {
      {"MDBTools", true, library.string(), library.string()},
      {"Microsoft Access Driver (*.mdb)", true, (dir.path() / "missing.so").string(), ""},
      {"MariaDB Unicode", true, "libmaodbc.so", ""},
      {"Access Broken", false, "", ""},
      // No configuration library: the driver's own library decides.
      {"Other", true, "/somewhere/libmdbodbcW.so.0", ""},
      {"Access Lite", true, library.string(), ""},
  };
  EXPECT_EQ(DescribeProviders(facts), std::string(kBothProviders) + "MDBTools|Installed|Usable|" +
                                          "Microsoft Access Driver (*.mdb)|Installed|Unusable|" +
                                          "Access Broken|Not Installed|Unusable|" +
                                          "Other|Installed|Unusable|" +
                                          "Access Lite|Installed|Usable|");
}

TEST(ProviderCheckTest, OnThisMachineBothProvidersAreBuiltInAndLoaded) {
  const std::string report = CheckProviders();
  EXPECT_TRUE(report.starts_with(kBothProviders)) << report;
  EXPECT_TRUE(LoadedJetLibrary().has_value());
  EXPECT_NE(LoadedJetLibrary()->find("libmdb"), std::string::npos);
  // Three fields per component, each ended by "|": whatever drivers this
  // machine registers, the dialog can read the report.
  EXPECT_EQ(std::count(report.begin(), report.end(), '|') % 3, 0) << report;
  EXPECT_TRUE(report.ends_with("|"));
}

}  // namespace
}  // namespace tablift
