#pragma once

#include <memory>
#include <string>

#include "data_access/jet/jet_database.h"
#include "data_access/jet/sql/query_executor.h"
#include "data_access/provider.h"

namespace tablift::jet {

// A statement in Access SQL, run by the Jet query executor over the open
// database's tables. The provider reads and never writes: statements other
// than SELECT fail.
class JetCommand : public ProviderCommand {
 public:
  JetCommand(std::shared_ptr<JetDatabase> database, QueryParameters parameters)
      : database_(std::move(database)), parameters_(std::move(parameters)) {}

  HResult setText(std::string_view text) override;
  // Rowset properties change nothing: every rowset is forward-only and
  // read-only.
  HResult setProperties(const PropertySet&) override { return S_OK; }
  HResult execute(std::unique_ptr<ProviderRowset>& rowset, std::int64_t& rowsAffected) override;

 private:
  std::shared_ptr<JetDatabase> database_;
  QueryParameters parameters_;
  std::string text_;
  bool hasText_ = false;
};

}  // namespace tablift::jet
