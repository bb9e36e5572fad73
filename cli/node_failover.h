#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "cli/connection_options.h"

namespace tablift {

class Workbench;

// The nodes of a cluster a migration may move between: those --server names
// ("h1:p1,h2:p2,h3:p3"), in order. One entry for a single server, none for a
// data source (--dsn) or a server from the saved configuration, which give no
// other node to go to.
std::vector<std::string> TargetNodes(const ConnectionOptions& options);

// Whether the target node worked on is gone: its session no longer answers
// (the server went away or the connection to it was lost).
bool TargetNodeLost(Workbench& window);

// Connects the MySQL side to `node` with the options' user and password and
// sets `charset` on the new session; false after saying why on standard
// error.
bool ConnectToNode(Workbench& window, ConnectionOptions options, const std::string& node,
                   const std::string& charset);

// The membership of the Galera node worked on (see ReadClusterView);
// nothing for a server that is no Galera node.
std::optional<std::string> ClusterViewOf(Workbench& window);

// Waits, at most `limit`, until the node worked on takes writes (see
// NodeTakesWrites); true at once for a server that is no Galera node.
bool WaitUntilNodeTakesWrites(Workbench& window, std::chrono::seconds limit);

}  // namespace tablift
