#!/usr/bin/env bash
# A PostgreSQL server for nets shared by several operators.
#
#   netserver.sh init DIR [--listen ADDR] [--port PORT]
#       creates a cluster in DIR (owned by an unprivileged user when run as root), starts it
#       on a Unix socket in DIR only (--listen adds TCP with TLS on ADDR), loads the schema,
#       and makes one net control and one logger sign-in
#   netserver.sh start DIR | stop DIR
#   netserver.sh adduser DIR CALL ncs|logger
#   netserver.sh schema CONNINFO      loads or upgrades the schema on an existing server
#
# Passwords go to the invoking user's libpq password file (~/.pgpass), never on the screen.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
sqldir="$here/src/storage/sharednet/sql"
[ -d "$sqldir" ] || sqldir="$here/share/velmora/sql"
server_user=velmora-pg
database=velmora
admin=velmora_admin

die() { echo "netserver: $*" >&2; exit 1; }

pgbin() {
  local bin
  for bin in /usr/lib/postgresql/15/bin /usr/lib/postgresql/*/bin; do
    if [ -x "$bin/initdb" ]; then echo "$bin"; return; fi
  done
  die "PostgreSQL's server programs are not installed"
}

install_missing() {
  local missing=()
  for p in postgresql postgresql-client openssl; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ "${#missing[@]}" -eq 0 ] && return
  [ "$(id -u)" -eq 0 ] || die "missing packages (run as root to install them): ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Runs a command as the cluster's owner.
as_owner() {
  local owner
  owner="$(stat -c %U "$dir/data")"
  if [ "$(id -un)" = "$owner" ]; then "$@"; else runuser -u "$owner" -- "$@"; fi
}

port_of() { sed -n 's/^port = \([0-9]*\).*/\1/p' "$dir/data/postgresql.auto.conf" | tail -n 1; }
conninfo_for() { echo "host=$dir/run port=$(port_of) dbname=$database user=$1"; }

# Admin statements over the socket, as the cluster's owner (mapped to the admin role).
admin_psql() {
  as_owner psql -X -q -v ON_ERROR_STOP=1 "host=$dir/run port=$(port_of) user=$admin dbname=${2:-$database}" -c "$1"
}

pgpass_file() {
  local home="$HOME"
  if [ -n "${SUDO_USER:-}" ]; then home="$(getent passwd "$SUDO_USER" | cut -d: -f6)"; fi
  echo "$home/.pgpass"
}

# Creates a sign-in with a fresh password kept in the password file, and prints its line.
add_signin() {
  local call="$1" role="$2" user password file
  user="$(echo "$call" | tr '[:upper:]' '[:lower:]')"
  [[ "$user" =~ ^[a-z0-9][a-z0-9_]{0,15}$ ]] || die "a call is letters and digits: $call"
  case "$role" in ncs) role=velmora_ncs ;; logger) role=velmora_logger ;; *) die "ncs or logger, not $role" ;; esac
  password="$(openssl rand -hex 16)"
  admin_psql "CREATE ROLE \"$user\" LOGIN PASSWORD '$password' IN ROLE $role" >/dev/null
  file="$(pgpass_file)"
  umask 077
  echo "$dir/run:$(port_of):$database:$user:$password" >>"$file"
  if [ -f "$dir/listen" ]; then
    echo "$(cat "$dir/listen"):$(port_of):$database:$user:$password" >>"$file"
  fi
  if [ -n "${SUDO_USER:-}" ]; then chown "$SUDO_USER:" "$file"; fi
  chmod 600 "$file"
  if [ -f "$dir/listen" ]; then
    echo "host=$(cat "$dir/listen") port=$(port_of) dbname=$database user=$user sslmode=verify-full sslrootcert=$dir/server.crt"
  else
    conninfo_for "$user"
  fi
}

# Applies the migration files the server does not have yet, each in one transaction. The
# files are read here and given on standard input, so a runner (as_owner) need not read them.
load_schema() {
  local conninfo="$1" version file number
  shift
  version="$("$@" psql -X -At "$conninfo" -c "SELECT coalesce((SELECT max(version) FROM velmora.schema_version), 0)" 2>/dev/null || echo 0)"
  for file in "$sqldir"/[0-9][0-9][0-9]_*.sql; do
    number="$(basename "$file" | cut -c1-3)"
    if [ "$((10#$number))" -gt "$version" ]; then
      echo "Loading $(basename "$file")"
      "$@" psql -X -q -v ON_ERROR_STOP=1 --single-transaction "$conninfo" -f - <"$file" >/dev/null
    fi
  done
}

cmd="${1:-}"
case "$cmd" in
  init)
    [ $# -ge 2 ] || die "init DIR [--listen ADDR] [--port PORT]"
    install_missing
    dir="$(realpath -m "$2")"; shift 2
    listen="" port=5432
    while [ $# -gt 0 ]; do
      case "$1" in
        --listen) listen="$2"; shift 2 ;;
        --port) port="$2"; shift 2 ;;
        *) die "unknown option $1" ;;
      esac
    done
    [ -e "$dir/data" ] && die "$dir already holds a cluster"
    mkdir -p "$dir/run" "$dir/data"
    owner="$(id -un)"
    if [ "$(id -u)" -eq 0 ]; then
      id "$server_user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$server_user"
      owner="$server_user"
      chown "$owner:" "$dir/run" "$dir/data"
    fi
    chmod 755 "$dir" "$dir/run"
    chmod 700 "$dir/data"
    # The owner signs in as the admin over the socket; operators with their password.
    as_owner "$(pgbin)/initdb" -D "$dir/data" -U "$admin" -A reject \
      -E UTF8 --locale=C.UTF-8 >/dev/null
    {
      echo "local all $admin peer map=owner"
      echo "local all all scram-sha-256"
      if [ -n "$listen" ]; then echo "hostssl all all all scram-sha-256"; fi
    } | as_owner tee "$dir/data/pg_hba.conf" >/dev/null
    echo "owner $owner $admin" | as_owner tee "$dir/data/pg_ident.conf" >/dev/null
    {
      echo "unix_socket_directories = '$dir/run'"
      echo "port = $port"
      if [ -n "$listen" ]; then
        echo "listen_addresses = '$listen'"
        echo "ssl = on"
        echo "ssl_cert_file = '$dir/server.crt'"
        echo "ssl_key_file = '$dir/data/server.key'"
      else
        echo "listen_addresses = ''"
      fi
    } | as_owner tee -a "$dir/data/postgresql.auto.conf" >/dev/null
    if [ -n "$listen" ]; then
      echo "$listen" >"$dir/listen"
      as_owner openssl req -new -x509 -days 3650 -nodes -subj "/CN=$listen" \
        -addext "subjectAltName=$( [[ "$listen" =~ ^[0-9.:]+$ ]] && echo IP || echo DNS ):$listen" \
        -keyout "$dir/data/server.key" -out "$dir/data/server.crt" 2>/dev/null
      cp "$dir/data/server.crt" "$dir/server.crt"
      chmod 644 "$dir/server.crt"
    fi
    as_owner "$(pgbin)/pg_ctl" -D "$dir/data" -l "$dir/data/server.log" -w start >/dev/null
    as_owner psql -X -q -v ON_ERROR_STOP=1 "host=$dir/run port=$port user=$admin dbname=postgres" \
      -c "CREATE DATABASE $database"
    load_schema "host=$dir/run port=$port user=$admin dbname=$database" as_owner >/dev/null
    ncs="$(add_signin netcontrol ncs)"
    logger="$(add_signin logger1 logger)"
    if [ -n "$listen" ]; then echo "Clients reaching $listen need the server's certificate: $dir/server.crt"; fi
    echo "net control: $ncs"
    echo "logger: $logger"
    ;;
  start | stop)
    [ $# -eq 2 ] || die "$cmd DIR"
    dir="$(realpath "$2")"
    [ -d "$dir/data" ] || die "no cluster in $dir"
    if [ "$cmd" = start ]; then
      as_owner "$(pgbin)/pg_ctl" -D "$dir/data" -l "$dir/data/server.log" -w start
    else
      as_owner "$(pgbin)/pg_ctl" -D "$dir/data" -m fast -w stop
    fi
    ;;
  adduser)
    [ $# -eq 4 ] || die "adduser DIR CALL ncs|logger"
    dir="$(realpath "$2")"
    [ -d "$dir/data" ] || die "no cluster in $dir"
    add_signin "$3" "$4"
    ;;
  schema)
    [ $# -eq 2 ] || die "schema CONNINFO"
    install_missing
    load_schema "$2"
    ;;
  *)
    sed -n '2,12s/^# \{0,1\}//p' "$0"
    exit 2
    ;;
esac
