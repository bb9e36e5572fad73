#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tablift {

// One component of an installation report: name, installation state,
// usability.
struct DriverReportRow {
  std::string name;
  std::string installed;
  std::string usability;
};

// The rows of a report whose fields each end in "|", three fields a row; an
// incomplete last row is left out.
std::vector<DriverReportRow> SplitDriverReport(std::string_view report);

// The target's rows as the driver check shows them: the server address
// choice ("TCP/IP:Port") follows them, usable when any MySQL ODBC driver row
// (every row after the first, which is the ODBC provider) is usable.
std::vector<DriverReportRow> WithServerAddressRow(std::vector<DriverReportRow> rows);

// Both reports as the driver check shows them: the Access side's
// (CheckProviders) and the MySQL side's (CheckDriverInstallation, with the
// server address row).
std::vector<DriverReportRow> AccessDriverRows();
std::vector<DriverReportRow> MySqlDriverRows();

// Whether a side misses what it needs to connect at all: the Access side its
// Jet provider (the first row), the MySQL side a usable driver (the server
// address row, the last). Optional components, such as an Access ODBC
// driver, do not count.
bool DriversMissing(const std::vector<DriverReportRow>& accessRows,
                    const std::vector<DriverReportRow>& mySqlRows);

}  // namespace tablift
