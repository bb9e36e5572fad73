#pragma once

#include <filesystem>
#include <string>

#include "mysql/cluster_target.h"
#include "translate/mysql_names.h"

namespace tablift {

// What the translation of an Access database depends on besides the two
// sessions: the user's choices (name rule, storage engine, character set) and
// facts read from the connections when the work starts. A plain value, so
// that each task works with the choices it was queued with.
struct MigrationSettings {
  NameRule nameRule = NameRule::Keep;
  std::string storageEngine = "MyISAM";  // "MyISAM" or "InnoDB"; every other text means InnoDB
  std::string charset = "LATIN1";        // the connection and table character set
  double serverVersion = 0;              // the target server's, 0 when unknown
  bool jetSource = true;                 // the source is read by the Jet provider
  std::string sourceFile;                // the Access file the Jet provider reads
  std::string sourcePassword;            // its database password
  std::string targetProvider;            // the target's data access provider
  std::filesystem::path conditionFile;   // where migration conditions are kept
  std::filesystem::path cacheFolder;     // where each table's statements are kept
  std::filesystem::path backupFolder;    // the latest folder the Backup command chose
  // The target's cluster, read on connecting. On a cluster the storage engine
  // is InnoDB whatever was chosen; `replacedEngine` is then the choice it
  // replaced (empty when the choice was InnoDB already).
  ClusterTarget cluster;
  std::string replacedEngine;
  // The task continues an interrupted migration into the same database:
  // what the target already holds is kept, and only what is missing is made.
  bool resume = false;
};

}  // namespace tablift
