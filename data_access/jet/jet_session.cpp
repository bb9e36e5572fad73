#include "data_access/jet/jet_session.h"

#include <algorithm>
#include <cctype>

#include "data_access/ascii_text.h"
#include "data_access/jet/catalog_listing.h"
#include "data_access/jet/jet_command.h"
#include "data_access/jet/provider_boundary.h"

namespace tablift::jet {

HResult JetSession::createCommand(std::unique_ptr<ProviderCommand>& command) {
  return AtBoundary([&] {
    command = std::make_unique<JetCommand>(database_, parameters_);
    return S_OK;
  });
}

HResult JetSession::schemaRowset(SchemaRowset schema, const std::vector<std::string>& restrictions,
                                 std::unique_ptr<ProviderRowset>& rowset) {
  return AtBoundary([&] {
    rowset.reset();
    switch (schema) {
      case SchemaRowset::Catalogs:
        return ListCatalogs(*database_, restrictions, rowset);
      case SchemaRowset::Tables:
        return ListTables(*database_, restrictions, rowset);
      case SchemaRowset::Columns:
        return ListColumns(*database_, restrictions, rowset);
      case SchemaRowset::Indexes:
        return ListIndexes(*database_, restrictions, rowset);
    }
    return E_INVALIDARG;
  });
}

HResult JetSession::setClientCharset(std::string_view name) {
  const std::string lower = ToLowerAscii(name);
  if (lower == "utf8" || lower == "utf8mb4" || lower == "utf8mb3") return S_OK;
  PostJetError("The Jet provider hands out text as UTF-8 only; it cannot use the character set '" +
               std::string(name) + "'.");
  return E_INVALIDARG;
}

HResult JetSession::recordedRowCount(std::string_view table, std::uint64_t& rows) {
  rows = 0;
  TableDefinition definition;
  const HResult result = database_->describeTable(std::string(table), definition);
  if (Failed(result)) return result;
  rows = definition.rowCount;
  return S_OK;
}

}  // namespace tablift::jet
