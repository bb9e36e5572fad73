#pragma once

#include <memory>
#include <string>

#include "Converters/connection_profile.h"
#include "data_access/data_source.h"
#include "data_access/session.h"

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
  // be read).
  std::string dbmsName;
  // The version text alone.
  std::string dbmsVersion;

  // The open session, or null.
  Session* openSession() const { return session && session->isOpen() ? session.get() : nullptr; }
  // Releases the session, then the data source; keeps the profile.
  void close() {
    session.reset();
    dataSource.close();
    dbmsName.clear();
    dbmsVersion.clear();
  }
};

}  // namespace tablift
