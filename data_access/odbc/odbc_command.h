#pragma once

#include <memory>
#include <string>

#include "data_access/odbc/odbc_connection.h"
#include "data_access/provider.h"

namespace tablift::odbc {

// One statement run with SQLExecDirect on a statement handle of its own. The
// text is kept in UTF-8 and converted to the connection's character set when
// it runs.
class OdbcCommand : public ProviderCommand {
 public:
  explicit OdbcCommand(std::shared_ptr<OdbcConnection> connection)
      : connection_(std::move(connection)) {}

  HResult setText(std::string_view text) override;
  // The rowsets are read forward once; the requested interfaces and
  // updatability do not change how, so every rowset property is accepted.
  HResult setProperties(const PropertySet& rowsetProperties) override;
  HResult execute(std::unique_ptr<ProviderRowset>& rowset, std::int64_t& rowsAffected) override;

 private:
  std::shared_ptr<OdbcConnection> connection_;
  std::string text_;
};

}  // namespace tablift::odbc
