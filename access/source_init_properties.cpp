#include "access/source_init_properties.h"

#include "access/new_database_path.h"
#include "core/job_context.h"
#include "data_access/ascii_text.h"
#include "data_access/jet/jet_provider.h"
#include "data_access/regex_service.h"

namespace tablift {

std::string AccessDatabaseName(std::string_view path) {
  return ReplaceAll(path, "\\.(mdb|accdb)$", "");
}

bool IsJetProgId(std::string_view progId) {
  return EqualsIgnoreCase(progId, kJetProgId);
}

bool BuildSourceInitProperties(ConnectionProfile& profile, PropertySet& set) {
  set.addBool(DBPROP_AUTH_CACHE_AUTHINFO, true);
  set.addBool(DBPROP_AUTH_ENCRYPT_PASSWORD, false);
  set.addBool(DBPROP_AUTH_MASK_PASSWORD, false);
  set.addString(DBPROP_AUTH_PASSWORD, profile.password);
  set.addString(DBPROP_AUTH_USERID, profile.userId);
  if (!profile.sourceName.empty()) set.addString(DBPROP_INIT_DATASOURCE, profile.sourceName);
  if (!profile.catalogName.empty()) set.addString(DBPROP_INIT_CATALOG, profile.catalogName);
  set.addInt32(DBPROP_INIT_MODE, DB_MODE_SHARE_DENY_NONE);
  set.addInt16(DBPROP_INIT_PROMPT, DBPROMPT_NOPROMPT);
  set.addInt32(DBPROP_INIT_LCID, kLocaleEnglishUs);

  if (!IsJetProgId(profile.progId)) {
    set.addString(DBPROP_INIT_PROVIDERSTRING,
                  std::string(kAccessOdbcProviderString) + WorkgroupFilePath() + ";");
    return true;
  }
  set.addString(DBPROP_INIT_PROVIDERSTRING, std::string(kJetProviderString));
  profile.catalogName = AccessDatabaseName(profile.sourceName);
  return true;
}

PropertySet BuildJetInitProperties() {
  PropertySet set(PropertySetId::JetInit);
  set.addString(DBPROP_JETOLEDB_SYSDBPATH, WorkgroupFilePath());
  return set;
}

}  // namespace tablift
