#pragma once

#include <memory>

#include "data_access/odbc/odbc_connection.h"
#include "data_access/provider.h"

namespace tablift::odbc {

class OdbcSession : public ProviderSession {
 public:
  explicit OdbcSession(std::shared_ptr<OdbcConnection> connection)
      : connection_(std::move(connection)) {}

  HResult createCommand(std::unique_ptr<ProviderCommand>& command) override;
  HResult schemaRowset(SchemaRowset schema, const std::vector<std::string>& restrictions,
                       std::unique_ptr<ProviderRowset>& rowset) override;
  std::string clientCharset() const override { return connection_->encoding().name(); }
  HResult setClientCharset(std::string_view name) override { return connection_->setCharset(name); }
  HResult prepareArrayInsert(std::string_view sql, const ArrayInsertShape& shape,
                             std::unique_ptr<ProviderArrayInsert>& insert) override;

 private:
  std::shared_ptr<OdbcConnection> connection_;
};

}  // namespace tablift::odbc
