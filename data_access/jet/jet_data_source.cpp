#include <memory>
#include <string>
#include <vector>

#include "data_access/data_source.h"
#include "data_access/jet/catalog_listing.h"
#include "data_access/jet/database_tables.h"
#include "data_access/jet/jet_database.h"
#include "data_access/jet/jet_messages.h"
#include "data_access/jet/jet_provider.h"
#include "data_access/jet/jet_session.h"
#include "data_access/jet/provider_boundary.h"
#include "data_access/session.h"

namespace tablift {
namespace jet {
namespace {

std::string LastString(const std::vector<PropertySet>& sets, PropertyId id) {
  std::string value;
  for (const PropertySet& set : sets) {
    if (set.id() != PropertySetId::DBInit) continue;
    for (const Property& property : set.properties()) {
      if (property.id != id) continue;
      if (const auto* text = std::get_if<PropertyString>(&property.value)) {
        value = text->value_or("");
      }
    }
  }
  return value;
}

class JetDataSource : public ProviderDataSource {
 public:
  HResult setProperties(const PropertySet* sets, std::size_t count) override {
    return AtBoundary([&]() -> HResult {
      if (database_) return DB_E_ALREADYINITIALIZED;
      for (std::size_t i = 0; i < count; ++i)
        sets_.push_back(sets[i]);
      return S_OK;
    });
  }

  HResult initialize() override {
    return AtBoundary([&]() -> HResult {
      if (database_) return DB_E_ALREADYINITIALIZED;
      const std::string path = LastString(sets_, DBPROP_INIT_DATASOURCE);
      std::string password = LastString(sets_, DBPROP_AUTH_PASSWORD);
      const HResult result = JetDatabase::open(path, password, database_);
      std::fill(password.begin(), password.end(), '\0');
      return result;
    });
  }

  HResult info(PropertyId id, std::string& value) override {
    return AtBoundary([&]() -> HResult {
      value.clear();
      if (!database_) {
        PostJetError("The data source is not initialized.");
        return E_UNEXPECTED;
      }
      switch (static_cast<std::uint32_t>(id)) {
        case DBPROP_DBMSNAME:
          value = "MS Jet";
          return S_OK;
        case DBPROP_DBMSVER:
          value = database_->version() == JetVersion::Jet3 ? "03.50.0000" : "04.00.0000";
          return S_OK;
        case DBPROP_CURRENTCATALOG:
          value = CatalogName(database_->path());
          return S_OK;
        case DBPROP_DATASOURCENAME:
          value = database_->path();
          return S_OK;
        case DBPROP_JETOLEDB_ENGINE:
          value = FileFormatName(database_->format());
          return S_OK;
        default:
          PostJetError("Data source property " + std::to_string(id) + " is not supported.");
          return DB_E_ERRORSOCCURRED;
      }
    });
  }

  const std::shared_ptr<JetDatabase>& database() const { return database_; }

  HResult createSession(std::shared_ptr<ProviderSession>& session) override {
    return AtBoundary([&]() -> HResult {
      if (!database_) {
        PostJetError("The data source is not initialized.");
        return E_UNEXPECTED;
      }
      session = std::make_shared<JetSession>(database_);
      return S_OK;
    });
  }

 private:
  std::vector<PropertySet> sets_;
  std::shared_ptr<JetDatabase> database_;
};

}  // namespace
}  // namespace jet

std::unique_ptr<ProviderDataSource> CreateJetDataSource() {
  return std::make_unique<jet::JetDataSource>();
}

std::shared_ptr<jet::JetDatabase> JetDatabaseOf(const DataSource& dataSource) {
  const auto* jet = dynamic_cast<const jet::JetDataSource*>(dataSource.provider());
  return jet != nullptr ? jet->database() : nullptr;
}

std::shared_ptr<jet::JetDatabase> JetDatabaseOf(const Session& session) {
  const auto* jet = dynamic_cast<const jet::JetSession*>(session.provider().get());
  return jet != nullptr ? jet->database() : nullptr;
}

bool SetJetQueryParameters(const Session& session, jet::QueryParameters parameters) {
  auto* jet = dynamic_cast<jet::JetSession*>(session.provider().get());
  if (jet == nullptr) return false;
  jet->setQueryParameters(std::move(parameters));
  return true;
}

HResult ListJetQueryParameters(const Session& session, std::string_view sql,
                               std::vector<jet::QueryParameterInfo>& parameters) {
  const std::shared_ptr<jet::JetDatabase> database = JetDatabaseOf(session);
  if (database == nullptr) return E_FAIL;
  jet::DatabaseTables tables(database);
  return jet::ListJetQueryParameters(tables, sql, parameters);
}

}  // namespace tablift
