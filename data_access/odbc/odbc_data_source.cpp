#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "data_access/ascii_text.h"
#include "data_access/odbc/odbc_connection.h"
#include "data_access/odbc/odbc_connection_string.h"
#include "data_access/odbc/odbc_diagnostics.h"
#include "data_access/odbc/odbc_provider.h"
#include "data_access/odbc/odbc_session.h"

namespace tablift {
namespace odbc {
namespace {

// Every MySQL connection starts in latin1; the connect flow and the character
// set command change it afterwards.
constexpr const char* kInitialMySqlCharset = "latin1";

bool NamesMySqlServer(std::string_view given) {
  const std::string name = ToLowerAscii(given);
  return name.find("mysql") != std::string::npos || name.find("mariadb") != std::string::npos;
}

// The ODBC provider's data source: DBINIT properties become a driver
// connection string, opened with SQLDriverConnect without prompting.
class OdbcDataSource : public ProviderDataSource {
 public:
  HResult setProperties(const PropertySet* sets, std::size_t count) override {
    if (connection_) return DB_E_ALREADYINITIALIZED;
    for (std::size_t i = 0; i < count; ++i)
      sets_.push_back(sets[i]);
    return S_OK;
  }

  HResult initialize() override {
    if (connection_) return DB_E_ALREADYINITIALIZED;
    const SQLHENV environment = Environment();
    if (environment == SQL_NULL_HENV) {
      PostProviderError("The ODBC driver manager cannot be used");
      return E_FAIL;
    }
    SQLHDBC handle = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment, &handle))) {
      PostDiagnostics(SQL_HANDLE_ENV, environment, TextEncoding::Utf8(),
                      "Cannot make a connection handle");
      return E_FAIL;
    }
    // Drivers that do not know CHARSET ignore it; MariaDB and MySQL drivers
    // take it as the connection's character set.
    std::string text = BuildConnectionString(ReadInitProperties(sets_), kInitialMySqlCharset);
    SQLCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnect(handle, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                          static_cast<SQLSMALLINT>(text.size()), completed,
                                          sizeof completed, &completedLength, SQL_DRIVER_NOPROMPT);
    // Both copies of the connection string hold the password.
    std::fill(text.begin(), text.end(), '\0');
    std::fill(std::begin(completed), std::end(completed), SQLCHAR{0});
    if (!SQL_SUCCEEDED(rc)) {
      PostDiagnostics(SQL_HANDLE_DBC, handle, TextEncoding::Utf8(), "The connection failed");
      SQLFreeHandle(SQL_HANDLE_DBC, handle);
      return E_FAIL;
    }
    const bool mySql = NamesMySqlServer(ConnectionInfo(handle, SQL_DBMS_NAME));
    std::string error;
    connection_ = std::make_shared<OdbcConnection>(
        handle, mySql,
        mySql ? *TextEncoding::ForCharset(kInitialMySqlCharset, error) : TextEncoding::Utf8());
    return S_OK;
  }

  HResult info(PropertyId id, std::string& value) override {
    value.clear();
    if (!connection_) {
      PostProviderError("The data source is not initialized");
      return E_UNEXPECTED;
    }
    if (id == DBPROP_CURRENTCATALOG) return currentCatalog(value);
    SQLUSMALLINT type = 0;
    if (id == DBPROP_DATASOURCENAME) {
      type = SQL_DATA_SOURCE_NAME;
    } else if (id == DBPROP_DBMSNAME) {
      type = SQL_DBMS_NAME;
    } else if (id == DBPROP_DBMSVER) {
      type = SQL_DBMS_VER;
    } else if (id == DBPROP_PROVIDERVER) {
      type = SQL_DRIVER_VER;
    } else {
      PostProviderError("Data source property " + std::to_string(id) + " is not supported");
      return DB_E_ERRORSOCCURRED;
    }
    char text[512] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(connection_->handle(), type, text, sizeof text, &length))) {
      PostDiagnostics(SQL_HANDLE_DBC, connection_->handle(), connection_->encoding(),
                      "Data source information cannot be read");
      return E_FAIL;
    }
    value = text;
    return S_OK;
  }

  // The database the connection is using now (empty when it uses none).
  HResult currentCatalog(std::string& value) {
    char text[512] = {};
    SQLINTEGER length = 0;
    if (!SQL_SUCCEEDED(SQLGetConnectAttr(connection_->handle(), SQL_ATTR_CURRENT_CATALOG, text,
                                         sizeof text - 1, &length))) {
      PostDiagnostics(SQL_HANDLE_DBC, connection_->handle(), connection_->encoding(),
                      "The current database cannot be read");
      return E_FAIL;
    }
    value = text;
    return S_OK;
  }

  HResult createSession(std::shared_ptr<ProviderSession>& session) override {
    if (!connection_) {
      PostProviderError("The data source is not initialized");
      return E_UNEXPECTED;
    }
    session = std::make_shared<OdbcSession>(connection_);
    return S_OK;
  }

 private:
  std::vector<PropertySet> sets_;
  std::shared_ptr<OdbcConnection> connection_;
};

}  // namespace
}  // namespace odbc

std::unique_ptr<ProviderDataSource> CreateOdbcDataSource() {
  return std::make_unique<odbc::OdbcDataSource>();
}

}  // namespace tablift
