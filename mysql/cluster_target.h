#pragma once

#include <optional>
#include <string>

#include "data_access/session.h"
#include "mysql/table_load.h"

namespace tablift {

// Which kind of replicating cluster the target server belongs to.
enum class ClusterKind {
  None,              // a server on its own (or one whose replication is not synchronous)
  Galera,            // a MariaDB or Percona node with wsrep_on
  GroupReplication,  // a MySQL Group Replication member
};

// What a migration must respect when the target replicates every transaction
// to other nodes: a write set (one transaction's rows) has limits, and only
// InnoDB tables with a primary key replicate safely.
struct ClusterTarget {
  ClusterKind kind = ClusterKind::None;
  // Nodes the member sees in its cluster; 0 when unknown.
  long long size = 0;
  // The most rows and bytes one transaction may change; 0 when unlimited.
  long long maxWriteSetRows = 0;
  long long maxWriteSetBytes = 0;

  bool replicated() const { return kind != ClusterKind::None; }
};

// Reads the cluster membership of the server behind `session`. A server
// without the variables (no Galera, no Group Replication) and a query the
// server refuses both read as ClusterKind::None: the target is then treated
// as a server on its own.
ClusterTarget ReadClusterTarget(Session* session);

// One line for the log and the connection report, e.g. "Galera cluster node
// (3 nodes; a transaction may change at most 20000 rows and 1073741824
// bytes)"; empty for a server on its own.
std::string DescribeClusterTarget(const ClusterTarget& cluster);

// The membership a Galera node is in (wsrep_cluster_conf_id, which changes
// whenever a node joins or leaves its cluster or the node loses the primary
// component); nothing for a server that is no Galera node or does not answer.
std::optional<std::string> ReadClusterView(Session* session);

// Whether a Galera node takes writes: ready and in the primary component. A
// node that lost its cluster's majority, or one still agreeing on a new
// membership, refuses every commit ("Not connected to Primary Component").
bool NodeTakesWrites(Session* session);

// Sets the load's commit pieces so that no transaction reaches the cluster's
// write-set limits, with a margin: the server counts a row's image, which can
// be larger than the statement text the sender measures. Leaves the load as
// it is for a server on its own.
void LimitLoadToWriteSets(const ClusterTarget& cluster, TableLoad& load);

}  // namespace tablift
