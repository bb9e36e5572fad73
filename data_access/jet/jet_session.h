#pragma once

#include <memory>

#include "data_access/jet/jet_database.h"
#include "data_access/jet/sql/query_executor.h"
#include "data_access/provider.h"

namespace tablift::jet {

class JetSession : public ProviderSession {
 public:
  explicit JetSession(std::shared_ptr<JetDatabase> database) : database_(std::move(database)) {}

  HResult createCommand(std::unique_ptr<ProviderCommand>& command) override;
  HResult schemaRowset(SchemaRowset schema, const std::vector<std::string>& restrictions,
                       std::unique_ptr<ProviderRowset>& rowset) override;
  // Jet text is handed out as UTF-8 and nothing else.
  std::string clientCharset() const override { return "utf8"; }
  HResult setClientCharset(std::string_view name) override;
  HResult recordedRowCount(std::string_view table, std::uint64_t& rows) override;

  const std::shared_ptr<JetDatabase>& database() const { return database_; }

  // The values commands made from now on give the parameters of their
  // statements.
  void setQueryParameters(QueryParameters parameters) { parameters_ = std::move(parameters); }

 private:
  std::shared_ptr<JetDatabase> database_;
  QueryParameters parameters_;
};

}  // namespace tablift::jet
