#include "engine/driver_check.h"

#include <gtest/gtest.h>

namespace tablift {
namespace {

bool operator==(const DriverReportRow& a, const DriverReportRow& b) {
  return a.name == b.name && a.installed == b.installed && a.usability == b.usability;
}

TEST(DriverCheckTest, ReportSplitsIntoRowsOfThreeFields) {
  const auto rows = SplitDriverReport(
      "Microsoft Jet 4.0 OLE DB Provider|Installed|Usable|MDBTools|Installed|"
      "Unusable|half|row|");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(
      (rows[0] == DriverReportRow{"Microsoft Jet 4.0 OLE DB Provider", "Installed", "Usable"}));
  EXPECT_TRUE((rows[1] == DriverReportRow{"MDBTools", "Installed", "Unusable"}));
  EXPECT_TRUE(SplitDriverReport("").empty());
}

TEST(DriverCheckTest, ServerAddressIsUsableOnlyWithAUsableMySqlDriver) {
  const std::vector<DriverReportRow> none{
      {"Microsoft OLE DB Provider for ODBC Drivers", "Installed", "Usable"},
      {"MySQL ODBC Driver", "Not installed", "Unusable"}};
  const auto without = WithServerAddressRow(none);
  ASSERT_EQ(without.size(), 3u);
  EXPECT_TRUE((without.back() == DriverReportRow{"TCP/IP:Port", "N/A", "Unusable"}));

  std::vector<DriverReportRow> one = none;
  one.push_back({"MariaDB Unicode", "Installed", "Usable"});
  const auto with = WithServerAddressRow(one);
  ASSERT_EQ(with.size(), 4u);
  EXPECT_TRUE((with.back() == DriverReportRow{"TCP/IP:Port", "N/A", "Usable"}));
}

TEST(DriverCheckTest, PrivateDriverConfigurationShowsTheMariaDbDriverUsable) {
  // The tests' odbcinst.ini registers MariaDB Connector/ODBC.
  const auto rows = MySqlDriverRows();
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[1].name, "MariaDB Unicode");
  EXPECT_EQ(rows[1].usability, "Usable");
  EXPECT_TRUE((rows.back() == DriverReportRow{"TCP/IP:Port", "N/A", "Usable"}));
  EXPECT_FALSE(AccessDriverRows().empty());
}

}  // namespace
}  // namespace tablift
