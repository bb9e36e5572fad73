#include "mysql/cluster_target.h"

#include <cstdlib>
#include <string_view>

#include "data_access/ascii_text.h"
#include "data_access/text_query.h"

namespace tablift {
namespace {

// Galera rejects a write set that has more rows than this many; a piece stays
// a tenth below, and below half the byte limit (row images of short values
// take more room than their literals).
constexpr long long kRowsMarginPercent = 90;
constexpr long long kBytesMarginPercent = 50;

long long Number(std::string_view text) {
  return std::strtoll(std::string(text).c_str(), nullptr, 10);
}

// Calls `onValue` with each name and value of a SHOW ... VARIABLES or STATUS
// statement; a refused statement calls it for nothing.
template <typename OnValue>
void ReadNamedValues(Session* session, std::string_view sql, OnValue onValue) {
  const PropertySet properties = QueryRowsetProperties();
  RunTextQuery(session, sql, &properties, [&](const TextRow& row) {
    if (row.columnCount() >= 2 && !row.isNull(1) && !row.isNull(2))
      onValue(std::string(row.text(1)), std::string(row.text(2)));
    return true;
  });
}

void ReadGalera(Session* session, ClusterTarget& cluster) {
  bool on = false;
  ReadNamedValues(session,
                  "show global variables where variable_name in "
                  "('wsrep_on', 'wsrep_max_ws_rows', 'wsrep_max_ws_size')",
                  [&](const std::string& name, const std::string& value) {
                    if (EqualsIgnoreCase(name, "wsrep_on")) on = EqualsIgnoreCase(value, "ON");
                    if (EqualsIgnoreCase(name, "wsrep_max_ws_rows"))
                      cluster.maxWriteSetRows = Number(value);
                    if (EqualsIgnoreCase(name, "wsrep_max_ws_size"))
                      cluster.maxWriteSetBytes = Number(value);
                  });
  if (!on) return;
  long long size = 0;
  ReadNamedValues(session, "show global status like 'wsrep_cluster_size'",
                  [&](const std::string&, const std::string& value) { size = Number(value); });
  // wsrep_on without a provider (a server built with Galera support that
  // runs alone) has no cluster to keep in step.
  if (size <= 0) return;
  cluster.kind = ClusterKind::Galera;
  cluster.size = size;
}

void ReadGroupReplication(Session* session, ClusterTarget& cluster) {
  long long members = 0;
  const PropertySet properties = QueryRowsetProperties();
  RunTextQuery(session,
               "select count(*) from performance_schema.replication_group_members "
               "where member_state = 'ONLINE'",
               &properties, [&](const TextRow& row) {
                 if (!row.isNull(1)) members = Number(row.text(1));
                 return false;
               });
  if (members <= 0) return;
  cluster.kind = ClusterKind::GroupReplication;
  cluster.size = members;
  cluster.maxWriteSetRows = 0;
  cluster.maxWriteSetBytes = 0;
  ReadNamedValues(session, "show global variables like 'group_replication_transaction_size_limit'",
                  [&](const std::string&, const std::string& value) {
                    cluster.maxWriteSetBytes = Number(value);
                  });
}

}  // namespace

ClusterTarget ReadClusterTarget(Session* session) {
  ClusterTarget cluster;
  if (session == nullptr || !session->isOpen()) return cluster;
  ReadGalera(session, cluster);
  if (!cluster.replicated()) {
    cluster = ClusterTarget{};
    ReadGroupReplication(session, cluster);
  }
  if (!cluster.replicated()) return ClusterTarget{};
  return cluster;
}

std::string DescribeClusterTarget(const ClusterTarget& cluster) {
  if (!cluster.replicated()) return {};
  std::string text =
      cluster.kind == ClusterKind::Galera ? "Galera cluster node" : "Group Replication member";
  text += " (" + std::to_string(cluster.size) + (cluster.size == 1 ? " node" : " nodes");
  if (cluster.maxWriteSetRows > 0 || cluster.maxWriteSetBytes > 0) {
    text += "; a transaction may change at most ";
    if (cluster.maxWriteSetRows > 0) text += std::to_string(cluster.maxWriteSetRows) + " rows";
    if (cluster.maxWriteSetRows > 0 && cluster.maxWriteSetBytes > 0) text += " and ";
    if (cluster.maxWriteSetBytes > 0) text += std::to_string(cluster.maxWriteSetBytes) + " bytes";
  }
  return text + ")";
}

std::optional<std::string> ReadClusterView(Session* session) {
  std::optional<std::string> view;
  if (session == nullptr || !session->isOpen()) return view;
  ReadNamedValues(session, "show global status like 'wsrep_cluster_conf_id'",
                  [&](const std::string&, const std::string& value) { view = value; });
  return view;
}

bool NodeTakesWrites(Session* session) {
  if (session == nullptr || !session->isOpen()) return false;
  bool ready = false;
  bool primary = false;
  ReadNamedValues(session,
                  "show global status where variable_name in "
                  "('wsrep_ready', 'wsrep_cluster_status')",
                  [&](const std::string& name, const std::string& value) {
                    if (EqualsIgnoreCase(name, "wsrep_ready"))
                      ready = EqualsIgnoreCase(value, "ON");
                    if (EqualsIgnoreCase(name, "wsrep_cluster_status"))
                      primary = EqualsIgnoreCase(value, "Primary");
                  });
  return ready && primary;
}

void LimitLoadToWriteSets(const ClusterTarget& cluster, TableLoad& load) {
  if (!cluster.replicated()) return;
  if (cluster.maxWriteSetRows > 0) {
    const long long rows = cluster.maxWriteSetRows * kRowsMarginPercent / 100;
    load.commitEveryRows = static_cast<std::size_t>(rows > 0 ? rows : 1);
  }
  if (cluster.maxWriteSetBytes > 0) {
    const long long bytes = cluster.maxWriteSetBytes * kBytesMarginPercent / 100;
    load.commitEveryBytes = static_cast<std::size_t>(bytes > 0 ? bytes : 1);
  }
}

}  // namespace tablift
