#pragma once

#include <string>

#include "engine/workbench.h"
#include "tests/support/private_server.h"

namespace tablift::test {

// Connects the workbench's target side to the private MariaDB server through
// the ODBC provider, as Connect does: data source, session, DBMS name and
// version. Adds a gtest failure and returns false when it cannot.
bool ConnectTarget(Workbench& window, const PrivateServer& server,
                   const std::string& database = "");

// A database of its own for one test, created on construction on the
// workbench's target session and dropped when the object goes away.
class ScratchDatabase {
 public:
  ScratchDatabase(Workbench& window, const std::string& prefix);
  ~ScratchDatabase();
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  const std::string& name() const { return name_; }

 private:
  Workbench& window_;
  std::string name_;
};

// Runs statements on the target session and fails the test when one is not
// accepted.
void ExecuteOrFail(Workbench& window, const std::string& sql);

// The first column of every row of a query on the target session, whole.
std::vector<std::string> QueryColumn(Workbench& window, const std::string& sql);

}  // namespace tablift::test
