#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for tests, benchmarks and the demo: it listens on a Unix socket in its own folder
# only (no TCP port), so any number of them can run side by side.
#
#   pg-cluster.sh start DIR   makes the cluster in DIR, starts it, waits until it accepts connections and prints
#                             the environment to use, as `export` lines for eval
#   pg-cluster.sh stop DIR    stops it at once and removes DIR
#
# initdb and the server refuse to run as root: root runs them as `postgres` (else `nobody`), which then owns DIR.
set -euo pipefail

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
cmd=$1
dir=$2

# The newest installed version's binaries; PATH as a last resort on machines that lay them out otherwise.
pg_bindir() {
  local newest
  newest=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -n "$newest" ] && [ -x "$newest/initdb" ]; then
    echo "$newest"
  elif command -v initdb >/dev/null; then
    dirname "$(readlink -f "$(command -v initdb)")"
  else
    return 1
  fi
}

# Who runs the server: ourselves, or an unprivileged account when we are root.
pg_user() {
  if [ "$(id -u)" -ne 0 ]; then
    id -un
  elif id postgres >/dev/null 2>&1; then
    echo postgres
  else
    echo nobody
  fi
}

# Runs a command as the server's user, from a folder that user can enter.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    (cd / && runuser -u "$(pg_user)" -- "$@")
  else
    (cd / && "$@")
  fi
}

start() {
  local bin user socket
  bin=$(pg_bindir) || { echo "PostgreSQL is not installed (no initdb)" >&2; exit 1; }
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  # The socket's path must fit a sockaddr_un (107 bytes).
  socket="$dir/.s.PGSQL.5432"
  if [ ${#socket} -gt 100 ]; then
    echo "$dir: path too long for the server's socket; use a shorter folder" >&2
    exit 1
  fi
  user=$(pg_user)
  [ "$(id -u)" -eq 0 ] && chown "$user" "$dir"
  if ! as_owner test -w "$dir"; then
    echo "$dir: $user cannot write here (is a folder above it closed to others?)" >&2
    exit 1
  fi

  # --no-sync: a crash of the machine takes a throwaway cluster with it anyway.
  as_owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C --no-sync >"$dir/initdb.log" 2>&1 || {
    cat "$dir/initdb.log" >&2
    exit 1
  }
  # In the configuration rather than on the command line, so that a restart by a test keeps them. fsync stays on:
  # tests restart the server and expect every acknowledged write to be there.
  cat >>"$dir/data/postgresql.conf" <<EOF

# throwaway test cluster
listen_addresses = ''
unix_socket_directories = '$dir'
max_connections = 200
# room for the lookup benchmark's million clients and their indexes
shared_buffers = 512MB
max_wal_size = 1GB
logging_collector = off
EOF

  # pg_ctl as the caller may use it (tests restart and stop the server): as the server's user, with the log file.
  cat >"$dir/pg_ctl" <<EOF
#!/usr/bin/env bash
# pg_ctl for this test cluster, callable as $(id -un): runs as the cluster's owner and logs to server.log.
case " \$* " in *" start "*|*" restart "*) set -- "\$@" -l "$dir/server.log" ;; esac
cd /
if [ "\$(id -u)" -eq 0 ]; then
  exec runuser -u "$user" -- "$bin/pg_ctl" -D "$dir/data" "\$@"
fi
exec "$bin/pg_ctl" -D "$dir/data" "\$@"
EOF
  chmod 755 "$dir/pg_ctl"

  "$dir/pg_ctl" start -w -t 60 -s >/dev/null || {
    cat "$dir/server.log" >&2
    exit 1
  }
  printf 'export ORVACMN_TEST_PG=%q\n' "host=$dir user=postgres dbname=postgres"
  printf 'export ORVACMN_TEST_PG_DATA=%q\n' "$dir/data"
  printf 'export ORVACMN_TEST_PG_CTL=%q\n' "$dir/pg_ctl"
}

stop() {
  [ -d "$dir" ] || return 0
  local pid
  if [ -f "$dir/data/postmaster.pid" ]; then
    pid=$(head -n 1 "$dir/data/postmaster.pid")
    "$dir/pg_ctl" stop -m immediate -w -t 30 -s >/dev/null 2>&1 || true
    # A server that would not stop must not outlive its folder.
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null || true; fi
  fi
  rm -rf "$dir"
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  *) usage ;;
esac
