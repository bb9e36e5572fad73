#include "cli/node_failover.h"

#include <cstdio>
#include <thread>

#include "data_access/provider_calls.h"
#include "engine/workbench.h"
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
  Session* session = window.targetSession();
  if (session == nullptr) return std::nullopt;
  return QueryTargetValue(session,
                          "select variable_value from information_schema.global_status "
                          "where variable_name = 'WSREP_CLUSTER_CONF_ID'");
}

bool WaitUntilNodeTakesWrites(Workbench& window, std::chrono::seconds limit) {
  if (!ClusterViewOf(window)) return true;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    Session* session = window.targetSession();
    if (session == nullptr) return false;
    const std::optional<std::string> ready = QueryTargetValue(
        session,
        "select count(*) from information_schema.global_status "
        "where (variable_name = 'WSREP_READY' and variable_value = 'ON') "
        "or (variable_name = 'WSREP_CLUSTER_STATUS' and variable_value = 'Primary')");
    if (ready == "2") return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
}

}  // namespace tablift
