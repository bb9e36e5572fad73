#include "engine/driver_check.h"

#include "engine/provider_check.h"
#include "mysql/driver_installation_report.h"

namespace tablift {

std::vector<DriverReportRow> SplitDriverReport(std::string_view report) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end = report.find('|'); end != std::string_view::npos;
       end = report.find('|', start)) {
    fields.emplace_back(report.substr(start, end - start));
    start = end + 1;
  }
  std::vector<DriverReportRow> rows;
  for (std::size_t i = 0; i + 3 <= fields.size(); i += 3)
    rows.push_back({fields[i], fields[i + 1], fields[i + 2]});
  return rows;
}

std::vector<DriverReportRow> WithServerAddressRow(std::vector<DriverReportRow> rows) {
  bool usable = false;
  for (std::size_t i = 1; i < rows.size(); ++i)
    usable = usable || rows[i].usability == "Usable";
  rows.push_back({"TCP/IP:Port", "N/A", usable ? "Usable" : "Unusable"});
  return rows;
}

std::vector<DriverReportRow> AccessDriverRows() {
  return SplitDriverReport(CheckProviders());
}

std::vector<DriverReportRow> MySqlDriverRows() {
  return WithServerAddressRow(SplitDriverReport(CheckDriverInstallation()));
}

bool DriversMissing(const std::vector<DriverReportRow>& accessRows,
                    const std::vector<DriverReportRow>& mySqlRows) {
  const auto usable = [](const DriverReportRow& row) { return row.usability == "Usable"; };
  return accessRows.empty() || !usable(accessRows.front()) || mySqlRows.empty() ||
         !usable(mySqlRows.back());
}

}  // namespace tablift
