#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests: Unix socket only, in a fresh temporary folder,
# run by an unprivileged user when the tests run as root. It holds a template database with
# the schema and four sign-ins (net controls N5NCS and W5NCS, loggers K5LOG and K6LOG) that
# each test copies.
#
#   testserver.sh start STATEDIR      prints nothing; STATEDIR/conninfo names the socket
#   testserver.sh start STATEDIR --tcp
#                                     also listens on 127.0.0.1 with TLS (a fresh self-signed
#                                     certificate, STATEDIR/server.crt), for clients that have no
#                                     Unix socket (the Windows build under Wine); STATEDIR/conninfo
#                                     then names that address, STATEDIR/conninfo-socket the socket
#   testserver.sh stop STATEDIR
#   testserver.sh halt STATEDIR | resume STATEDIR   stops and starts the server, keeping its data
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cmd="${1:-}" state="${2:-}" tcp="${3:-}"
[ -n "$state" ] || { echo "testserver.sh start|stop STATEDIR" >&2; exit 2; }

pgbin=""
for bin in /usr/lib/postgresql/15/bin /usr/lib/postgresql/*/bin; do
  if [ -x "$bin/initdb" ]; then pgbin="$bin"; break; fi
done
[ -n "$pgbin" ] || { echo "PostgreSQL's server programs are missing (scripts/install-deps.sh)" >&2; exit 1; }

run_as() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

stop() {
  [ -f "$state/cluster" ] || return 0
  local cluster
  cluster="$(cat "$state/cluster")"
  if [ -f "$cluster/data/postmaster.pid" ]; then
    run_as "$pgbin/pg_ctl" -D "$cluster/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$cluster"
  rm -f "$state/cluster" "$state/conninfo" "$state/conninfo-socket" "$state/server.crt"
}

case "$cmd" in
  start)
    mkdir -p "$state"
    stop
    # A short path: a Unix socket's name has to fit in about a hundred characters.
    cluster="$(mktemp -d -t velmora-pg.XXXXXX)"
    echo "$cluster" >"$state/cluster"
    chmod 755 "$cluster"
    mkdir "$cluster/data"
    [ "$(id -u)" -eq 0 ] && chown nobody: "$cluster" "$cluster/data"
    run_as "$pgbin/initdb" -D "$cluster/data" -U velmora_admin -A trust -E UTF8 --locale=C.UTF-8 >/dev/null
    port=5432
    if [ "$tcp" = --tcp ]; then
      # A port of its own, so it never meets another server on this machine's loopback.
      port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
      openssl req -new -x509 -days 30 -nodes -subj "/CN=127.0.0.1" -addext "subjectAltName=IP:127.0.0.1" \
        -keyout "$cluster/server.key" -out "$cluster/server.crt" 2>/dev/null
      cp "$cluster/server.crt" "$state/server.crt"
      chmod 600 "$cluster/server.key"
      [ "$(id -u)" -eq 0 ] && chown nobody: "$cluster/server.key" "$cluster/server.crt"
      echo "hostssl all all 127.0.0.1/32 trust" | run_as tee -a "$cluster/data/pg_hba.conf" >/dev/null
    fi
    {
      if [ "$tcp" = --tcp ]; then
        echo "listen_addresses = '127.0.0.1'"
        echo "ssl = on"
        echo "ssl_cert_file = '$cluster/server.crt'"
        echo "ssl_key_file = '$cluster/server.key'"
      else
        echo "listen_addresses = ''"
      fi
      echo "port = $port"
      echo "unix_socket_directories = '$cluster'"
      echo "fsync = off"
      echo "max_connections = 200"
    } | run_as tee -a "$cluster/data/postgresql.auto.conf" >/dev/null
    run_as "$pgbin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w start >/dev/null
    base="host=$cluster port=$port"
    psql -X -q -v ON_ERROR_STOP=1 "$base user=velmora_admin dbname=postgres" \
      -c "CREATE DATABASE velmora_template" >/dev/null
    "$here/scripts/netserver.sh" schema "$base user=velmora_admin dbname=velmora_template" >/dev/null
    psql -X -q -v ON_ERROR_STOP=1 "$base user=velmora_admin dbname=postgres" >/dev/null <<'SQL'
CREATE ROLE n5ncs LOGIN;
CREATE ROLE w5ncs LOGIN;
CREATE ROLE k5log LOGIN;
CREATE ROLE k6log LOGIN;
SQL
    # Each with its operator call and the limits netserver.sh gives every sign-in.
    for signin in "n5ncs N5NCS ncs" "w5ncs W5NCS ncs" "k5log K5LOG logger" "k6log K6LOG logger"; do
      set -- $signin
      "$here/scripts/netserver.sh" signin "$base user=velmora_admin dbname=velmora_template" "$1" "$2" "$3"
    done
    # Tests run side by side with these four sign-ins; the tests of the limit make their own.
    psql -X -q -v ON_ERROR_STOP=1 "$base user=velmora_admin dbname=postgres" >/dev/null <<'SQL'
ALTER ROLE n5ncs CONNECTION LIMIT 40;
ALTER ROLE w5ncs CONNECTION LIMIT 40;
ALTER ROLE k5log CONNECTION LIMIT 40;
ALTER ROLE k6log CONNECTION LIMIT 40;
SQL
    if [ "$tcp" = --tcp ]; then
      echo "$base" >"$state/conninfo-socket"
      echo "host=127.0.0.1 port=$port sslmode=verify-full sslrootcert=$(realpath "$state")/server.crt" >"$state/conninfo"
    else
      echo "$base" >"$state/conninfo"
    fi
    ;;
  stop) stop ;;
  halt | resume)
    cluster="$(cat "$state/cluster")"
    if [ "$cmd" = halt ]; then
      run_as "$pgbin/pg_ctl" -D "$cluster/data" -m fast -w stop >/dev/null
    else
      run_as "$pgbin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w start >/dev/null
    fi
    ;;
  *) echo "testserver.sh start|stop|halt|resume STATEDIR" >&2; exit 2 ;;
esac
