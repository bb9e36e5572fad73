#include "tests/mysql/layer_connection.h"

#include <unistd.h>

#include "data_access/property_set.h"
#include "data_access/provider_registry.h"
#include "data_access/text_query.h"

namespace tablift::test {

std::string LayerDatabase() {
  return "tablift_layer_" + std::to_string(getpid());
}

HResult OpenServerDataSource(const PrivateServer& server, DataSource& dataSource,
                             std::optional<std::string> user, std::optional<std::string> password,
                             const std::string& database) {
  PropertySet set(PropertySetId::DBInit);
  set.addBool(DBPROP_AUTH_MASK_PASSWORD, false);
  set.addString(DBPROP_AUTH_PASSWORD, password.value_or(server.password));
  set.addString(DBPROP_AUTH_USERID, user.value_or(server.user));
  // As the target's strings start: with a separator.
  set.addString(DBPROP_INIT_PROVIDERSTRING, ";" + server.odbcConnectionString(database));
  set.addInt32(DBPROP_INIT_MODE, DB_MODE_SHARE_DENY_NONE);
  set.addInt16(DBPROP_INIT_PROMPT, DBPROMPT_NOPROMPT);
  Clsid clsid = nullptr;
  const HResult found = CLSIDFromProgID("MSDASQL", clsid);
  if (Failed(found)) return found;
  return dataSource.open(clsid, &set, 1);
}

std::vector<std::string> FirstColumn(Session& session, const std::string& sql) {
  std::vector<std::string> values;
  const PropertySet properties = QueryRowsetProperties();
  const std::string result = RunTextQuery(&session, sql, &properties, [&](const TextRow& row) {
    values.push_back(row.isNull(1) ? "<null>" : std::string(row.text(1)));
    return true;
  });
  if (!result.empty()) return {result};
  return values;
}

}  // namespace tablift::test
