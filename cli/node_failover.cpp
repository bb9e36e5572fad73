#include "cli/node_failover.h"

#include <cstdio>
#include <thread>

#include "data_access/provider_calls.h"
#include "engine/workbench.h"
#include "mysql/cluster_target.h"
#include "mysql/target_objects.h"

namespace tablift {

std::vector<std::string> TargetNodes(const ConnectionOptions& options) {
  if (options.server.empty() || !options.dsn.empty()) return {};
  const Result<std::vector<std::string>> nodes = ParseServerList(options.server);
  return nodes.ok() ? nodes.value() : std::vector<std::string>{};
}

bool TargetNodeLost(Workbench& window) {
  Session* session = window.targetSession();
  return session == nullptr || !QueryTargetValue(session, "select 1").has_value();
}

bool ConnectToNode(Workbench& window, ConnectionOptions options, const std::string& node,
                   const std::string& charset) {
  options.server = node;
  if (!ConnectTargetSide(window, options)) return false;
  if (!SetClientCharset(*window.targetSession(), charset).ok()) {
    std::fprintf(stderr, "tablift-cli migrate: the node %s does not take the character set %s\n",
                 node.c_str(), charset.c_str());
    return false;
  }
  return true;
}

std::optional<std::string> ClusterViewOf(Workbench& window) {
  return ReadClusterView(window.targetSession());
}

bool WaitUntilNodeTakesWrites(Workbench& window, std::chrono::seconds limit) {
  if (!ClusterViewOf(window)) return true;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!NodeTakesWrites(window.targetSession())) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  return true;
}

}  // namespace tablift
