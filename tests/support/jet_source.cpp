#include "tests/support/jet_source.h"

#include <gtest/gtest.h>

#include "access/source_init_properties.h"
#include "data_access/error_texts.h"
#include "data_access/property_set.h"
#include "data_access/provider_registry.h"

namespace tablift::test {

bool ConnectSource(Workbench& window, const std::filesystem::path& path,
                   const std::string& password) {
  Connection& source = window.sourceConnection();
  source.close();
  source.profile.providerName = "Microsoft Jet 4.0 OLE DB Provider";
  source.profile.progId = "Microsoft.Jet.OLEDB.4.0";
  source.profile.sourceName = path.string();
  source.profile.catalogName = AccessDatabaseName(path);
  source.profile.userId = "Admin";
  source.profile.password = password;
  PropertySet init(PropertySetId::DBInit);
  init.addString(DBPROP_AUTH_PASSWORD, password);
  init.addString(DBPROP_AUTH_USERID, std::string("Admin"));
  init.addString(DBPROP_INIT_DATASOURCE, path.string());
  init.addInt32(DBPROP_INIT_MODE, DB_MODE_SHARE_DENY_NONE);
  init.addInt16(DBPROP_INIT_PROMPT, DBPROMPT_NOPROMPT);
  Clsid clsid = nullptr;
  if (Failed(CLSIDFromProgID("Microsoft.Jet.OLEDB.4.0", clsid))) {
    ADD_FAILURE() << "no Jet provider";
    return false;
  }
  if (Failed(source.dataSource.open(clsid, &init, 1))) {
    ADD_FAILURE() << DescribeOleDbError(&source.dataSource, InterfaceId::IDBInitialize);
    return false;
  }
  auto session = std::make_shared<Session>();
  if (Failed(session->open(source.dataSource))) {
    ADD_FAILURE() << "no session on " << path;
    return false;
  }
  source.session = session;
  return true;
}

std::string AccessDatabaseName(const std::filesystem::path& path) {
  return tablift::AccessDatabaseName(path.string());
}

}  // namespace tablift::test
