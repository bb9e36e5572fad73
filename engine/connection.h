#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "core/connection_profile.h"
#include "data_access/data_source.h"
#include "data_access/session.h"
#include "mysql/cluster_target.h"

namespace tablift {

// One side's connection as the main window keeps it: the profile it was made
// from, the opened data source, the session on it and the DBMS name.
//
// The user-interface thread replaces it on Connect only while no controller
// runs; the controller thread replaces the source side itself (selecting a
// database). Commands copy `session` (a shared pointer) when they need it to
// outlive a reconnect.
struct Connection {
  ConnectionProfile profile;  // profile.catalogName is the current database
  DataSource dataSource;
  std::shared_ptr<Session> session;
  // The DBMS name as the task list shows it: name "[" version "]", e.g.
  // "MariaDB[10.11.6-MariaDB]" (the version part is missing when it could not
  // be read). The controller thread rewrites the source's when a task
  // switches the source database, while the user-interface thread may be
  // queuing a task that copies it; so it is kept under a lock.
  std::string dbmsName() const {
    std::lock_guard lock(namesMutex_);
    return dbmsName_;
  }
  void setDbmsName(std::string name) {
    std::lock_guard lock(namesMutex_);
    dbmsName_ = std::move(name);
  }
  // The version text alone.
  std::string dbmsVersion;
  // The target's cluster membership, read on connecting (None on the source).
  ClusterTarget cluster;

  // The open session, or null.
  Session* openSession() const { return session && session->isOpen() ? session.get() : nullptr; }
  // Releases the session, then the data source; keeps the profile.
  void close() {
    session.reset();
    dataSource.close();
    setDbmsName({});
    dbmsVersion.clear();
    cluster = ClusterTarget{};
  }

 private:
  mutable std::mutex namesMutex_;
  std::string dbmsName_;
};

}  // namespace tablift
