#include "engine/target_settings.h"

#include "core/connection_profile.h"
#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/provider_calls.h"
#include "engine/controller_commands.h"
#include "engine/list_catalog.h"
#include "engine/workbench.h"
#include "mysql/execute_statement.h"
#include "translate/table_ddl.h"

namespace tablift {

bool ChangeCharset(Workbench& window, const std::string& name) {
  if (window.targetTree().dbmsKind() != kDbmsMySql) return false;
  // The running tasks send their text through this session: switching its
  // character set under them would mix two encodings in one table.
  if (!MayRunBesideTasks(window)) return false;
  if (Session* session = window.targetSession()) {
    if (const Status set = SetClientCharset(*session, name); !set.ok()) {
      WriteLine(window, "E::%s", set.message().c_str());
      return false;
    }
  }
  window.setCharset(name);
  for (const char* variable : {"client", "connection", "database", "results", "server"}) {
    ExecuteStatement(window, window.targetSession(),
                     std::string("set character_set_") + variable + "=" + name + ";",
                     Report::Outcome)
        .ok();
  }
  ListCatalog(window, window.targetTree());
  return true;
}

std::string StorageEngineMenuText(std::string_view engine) {
  return IsInnoDb(engine) ? kStorageEngineInnoDbText : kStorageEngineMyIsamText;
}

std::string ToggleStorageEngine(Workbench& window) {
  const std::string engine = IsInnoDb(window.targetTree().storageEngine()) ? "MyISAM" : "InnoDB";
  window.prompter().showMessage("Now Storage Engine of MySQL is " + engine + "!",
                                MessageIcon::Information);
  window.targetTree().setStorageEngine(engine);
  return engine;
}

}  // namespace tablift
