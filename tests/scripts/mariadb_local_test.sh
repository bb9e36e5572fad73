#!/usr/bin/env bash
# Exercises scripts/mariadb-local in a state directory of its own: start,
# status, env, logins, a repeated start, stop, and a restart on the same data.
# The state directory is deep enough that the socket has to move to /tmp.
#
#   tests/scripts/mariadb_local_test.sh [path/to/mariadb-local]
set -euo pipefail

script=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/mariadb-local}
work=$(mktemp -d "${TMPDIR:-/tmp}/tablift-mariadb-local-test.XXXXXX")
export TABLIFT_MARIADB_DIR=$work/a-state-directory-whose-path-is-long-enough/to-push-the-socket-beyond/the-unix-limit
datadir=$TABLIFT_MARIADB_DIR/data

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

server_pids() {
  local dir args
  for dir in /proc/[0-9]*; do
    mapfile -d '' -t args 2>/dev/null <"$dir/cmdline" || continue
    [[ ${#args[@]} -gt 0 && ${args[0]##*/} == mariadbd ]] || continue
    [[ " ${args[*]} " == *" --datadir=$datadir "* ]] && echo "${dir#/proc/}"
  done
  return 0
}

cleanup() {
  "$script" stop >/dev/null 2>&1 || true
  local pids
  pids=$(server_pids)
  if [[ -n $pids ]]; then
    echo "FAIL: mariadbd still running after stop: $pids" >&2
    # shellcheck disable=SC2086
    kill -KILL $pids 2>/dev/null || true
  fi
  [[ -n ${socket:-} && $socket == /tmp/* ]] && rm -f "$socket" "$socket.lock"
  rm -rf "$work"
}
trap cleanup EXIT

sql() { # port password statement
  mariadb --no-defaults --protocol=tcp -h 127.0.0.1 -P "$1" -u root --password="$2" -N -B -e "$3"
}

# `env` before any start explains instead of printing nothing.
if out=$("$script" env 2>&1); then
  fail "env succeeded before the first start"
elif [[ $out != *"start"* ]]; then
  fail "env before start does not say what to do: $out"
fi

"$script" start || {
  echo "FAIL: start" >&2
  cat "$TABLIFT_MARIADB_DIR/error.log" >&2 || true
  exit 1
}

out=$("$script" status) || fail "status exit code $? while running"
[[ $out == *running* ]] || fail "status while running says: $out"

env_text=$("$script" env)
# shellcheck disable=SC1090
source <(printf '%s\n' "$env_text")
port=${TABLIFT_MARIADB_PORT:-}
password=${TABLIFT_MARIADB_PASSWORD:-}
socket=${TABLIFT_MARIADB_SOCKET:-}
[[ ${TABLIFT_MARIADB_HOST:-} == 127.0.0.1 ]] || fail "host is '${TABLIFT_MARIADB_HOST:-}'"
[[ ${TABLIFT_MARIADB_USER:-} == root ]] || fail "user is '${TABLIFT_MARIADB_USER:-}'"
[[ $port =~ ^[0-9]+$ ]] || fail "port is '$port'"
[[ -n $password ]] || fail "no password"
[[ $out == *"$port"* ]] || fail "status does not name port $port: $out"
((${#socket} < 108)) || fail "socket path too long for the kernel: $socket"
[[ -S $socket ]] || fail "no socket at $socket"
for secret in "$TABLIFT_MARIADB_DIR/env" "$TABLIFT_MARIADB_DIR/root-password"; do
  mode=$(stat -c %a "$secret")
  [[ $mode == 600 ]] || fail "$secret has mode $mode"
done

[[ $(sql "$port" "$password" 'select 1') == 1 ]] || fail "select 1 over TCP"
[[ $(sql "$port" "$password" 'select @@bind_address') == 127.0.0.1 ]] ||
  fail "server not bound to loopback only"
[[ $(sql "$port" "$password" 'select @@local_infile') == 1 ]] || fail "local-infile is off"
[[ $(mariadb --no-defaults -S "$socket" -u root --password="$password" -N -e 'select 2') == 2 ]] ||
  fail "select over the socket with the password"
if mariadb --no-defaults --protocol=tcp -h 127.0.0.1 -P "$port" -u root -e 'select 1' \
  >/dev/null 2>&1; then
  fail "root logs in over TCP without a password"
fi
if mariadb --no-defaults -S "$socket" -u root -e 'select 1' >/dev/null 2>&1; then
  fail "root logs in over the socket without a password"
fi

pid_before=$(server_pids)
"$script" start || fail "second start"
[[ $("$script" env) == "$env_text" ]] || fail "second start changed the env file"
[[ $(server_pids) == "$pid_before" ]] || fail "second start launched another server"
sql "$port" "$password" 'create database kept' || fail "create database"

"$script" stop || fail "stop"
out=$("$script" status) && fail "status exit code 0 after stop"
[[ $out == *stopped* ]] || fail "status after stop says: $out"
[[ -z $(server_pids) ]] || fail "mariadbd left running after stop"
[[ ! -e $socket ]] || fail "socket left behind after stop"
"$script" stop || fail "stop when nothing runs"

# A restart reuses the data and the password, and by preference the port.
"$script" start || fail "restart"
unset TABLIFT_MARIADB_PORT TABLIFT_MARIADB_PASSWORD
# shellcheck disable=SC1090
source <("$script" env)
[[ ${TABLIFT_MARIADB_PASSWORD:-} == "$password" ]] || fail "restart changed the password"
[[ ${TABLIFT_MARIADB_PORT:-} == "$port" ]] || fail "restart moved from port $port"
[[ $(sql "${TABLIFT_MARIADB_PORT:-0}" "$password" "show databases like 'kept'") == kept ]] ||
  fail "restart lost the data"
"$script" stop || fail "stop after restart"
[[ -z $(server_pids) ]] || fail "mariadbd left running after the second stop"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "mariadb-local: all checks passed"
