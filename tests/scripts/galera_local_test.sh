#!/usr/bin/env bash
# Exercises scripts/galera-local in a state directory of its own: start with a
# server option, status, env, replication between the nodes, a node that died
# rejoining on the next start, stop, and a restart on the same data and
# options. Exits 77
# (skipped) when galera-4 is not installed.
#
#   tests/scripts/galera_local_test.sh [path/to/galera-local]
set -euo pipefail

script=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/galera-local}
provider=/usr/lib/galera/libgalera_smm.so
if [[ ! -r $provider ]]; then
  echo "galera-4 is not installed ($provider): nothing to test"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tablift-galera-local-test.XXXXXX")
# The nodes run as user mysql when this runs as root: it must reach the state.
chmod 755 "$work"
export TABLIFT_GALERA_DIR=$work/a-state-directory-long-enough-to-push/the-node-sockets-beyond-the-unix-limit
unset TABLIFT_GALERA_OPTIONS

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

node_pids() {
  local dir args
  for dir in /proc/[0-9]*; do
    mapfile -d '' -t args 2>/dev/null <"$dir/cmdline" || continue
    [[ ${#args[@]} -gt 0 && ${args[0]##*/} == mariadbd ]] || continue
    [[ " ${args[*]} " == *" --datadir=$TABLIFT_GALERA_DIR/node$1/data "* ]] && echo "${dir#/proc/}"
  done
  return 0
}

cleanup() {
  "$script" stop >/dev/null 2>&1 || true
  local n pids
  for n in 1 2 3; do
    pids=$(node_pids "$n")
    if [[ -n $pids ]]; then
      echo "FAIL: node $n still running after stop: $pids" >&2
      # shellcheck disable=SC2086
      kill -KILL $pids 2>/dev/null || true
    fi
  done
  # A node killed and never started again leaves its socket behind.
  rm -f "/tmp/tablift-galera-$(printf '%s' "$TABLIFT_GALERA_DIR" | sha256sum | cut -c1-16)"-*.sock
  rm -rf "$work"
}
trap cleanup EXIT

sql() {
  local port=$1
  shift
  mariadb -h 127.0.0.1 -P "$port" -u "$TABLIFT_GALERA_USER" -p"$TABLIFT_GALERA_PASSWORD" -N -B \
    -e "$*"
}

if "$script" env >/dev/null 2>&1; then fail "env succeeded before any start"; fi
"$script" status >/dev/null 2>&1 && code=0 || code=$?
[[ $code -eq 3 ]] || fail "status of a cluster never started exited $code, not 3"

"$script" start --wsrep-max-ws-rows=123 || fail "start"
"$script" status >/dev/null || fail "status after start"
eval "$("$script" env)"
read -r -a ports <<<"$TABLIFT_GALERA_PORTS"
[[ ${#ports[@]} -eq 3 ]] || fail "env names ${#ports[@]} ports, not 3"
[[ $TABLIFT_GALERA_NODES == "127.0.0.1:${ports[0]},127.0.0.1:${ports[1]},127.0.0.1:${ports[2]}" ]] ||
  fail "TABLIFT_GALERA_NODES is '$TABLIFT_GALERA_NODES'"
for port in "${ports[@]}"; do
  [[ $(sql "$port" "select @@wsrep_max_ws_rows") == 123 ]] || fail "node $port lacks the option"
  [[ $(sql "$port" "show status like 'wsrep_cluster_size'" | cut -f2) == 3 ]] ||
    fail "node $port is not in a cluster of 3"
done

sql "${ports[0]}" "create database kept; create table kept.t (id int primary key) engine=InnoDB;
  insert into kept.t values (1), (2)"
[[ $(sql "${ports[2]}" "set wsrep_sync_wait = 1; select count(*) from kept.t") == 2 ]] ||
  fail "a row written on node 1 is missing on node 3"

# A node that died rejoins the other two on the next start.
# shellcheck disable=SC2046
kill -KILL $(node_pids 2)
sleep 2
"$script" status >/dev/null 2>&1 && code=0 || code=$?
[[ $code -eq 1 ]] || fail "status with a node down exited $code, not 1"
"$script" start || fail "start with a node down"
"$script" status >/dev/null || fail "status after the node rejoined"

"$script" stop || fail "stop"
"$script" status >/dev/null 2>&1 && code=0 || code=$?
[[ $code -eq 3 ]] || fail "status after stop exited $code, not 3"

# A restart keeps the data and the ports.
"$script" start || fail "restart"
eval "$("$script" env)"
[[ $TABLIFT_GALERA_PORTS == "${ports[*]}" ]] || fail "the ports changed on restart"
for port in "${ports[@]}"; do
  [[ $(sql "$port" "set wsrep_sync_wait = 1; select count(*) from kept.t") == 2 ]] ||
    fail "node $port lost the rows on restart"
  [[ $(sql "$port" "select @@wsrep_max_ws_rows") == 123 ]] ||
    fail "node $port lost the option of the first start"
done

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "galera-local: all checks passed"
