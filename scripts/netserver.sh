#!/usr/bin/env bash
# A PostgreSQL server for nets shared by several operators.
#
#   netserver.sh init DIR --ncs CALL [--logger CALL] [--listen ADDR] [--port PORT]
#       creates a cluster in DIR (owned by an unprivileged user when run as root), starts it
#       on a Unix socket in DIR only (--listen adds TCP with TLS on ADDR), loads the schema,
#       and makes a net control sign-in (and a logger's) for those operator calls
#   netserver.sh start DIR | stop DIR
#   netserver.sh adduser DIR CALL ncs|logger     a sign-in for the operator CALL (again: a new password)
#   netserver.sh schema CONNINFO      loads or upgrades the schema on an existing server
#   netserver.sh signin CONNINFO USER CALL ncs|logger
#       on an existing server: gives the sign-in USER the operator call CALL, the role, and
#       the program's limits (run as an administrator; the sign-in and its password are yours)
#
# Passwords go to the invoking user's libpq password file (~/.pgpass), never on the screen
# nor on any command line.
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

# The statements that give an existing sign-in its operator call, its role and the limits
# every program sign-in has: a statement, a lock wait and a transaction left idle end after
# a few seconds, temporary files stay small, and one sign-in holds at most five connections
# (the program needs two), so no operator can freeze the net or lock the others out.
signin_sql() {
  local user="$1" call="$2" role="$3"
  cat <<SQL
SET client_min_messages = error;
ALTER ROLE "$user" CONNECTION LIMIT 5;
ALTER ROLE "$user" SET statement_timeout = '10s';
ALTER ROLE "$user" SET lock_timeout = '8s';
ALTER ROLE "$user" SET idle_in_transaction_session_timeout = '10s';
ALTER ROLE "$user" SET client_connection_check_interval = '5s';
ALTER ROLE "$user" SET temp_file_limit = '64MB';
REVOKE velmora_ncs, velmora_logger FROM "$user";
GRANT $role TO "$user";
INSERT INTO velmora.signins(role, call) VALUES ('$user', '$call')
  ON CONFLICT (role) DO UPDATE SET call = excluded.call;
SQL
}

# A call as the server takes it (letters and digits, "/" between parts), upper case, and
# its sign-in's name: lower case, "/" as "_".
check_call() {
  [[ "$1" =~ ^[A-Za-z0-9]+(/[A-Za-z0-9]+){0,2}$ && "$1" =~ [A-Za-z] && "$1" =~ [0-9] && ${#1} -ge 3 && ${#1} -le 16 ]] \
    || die "not an operator call (3 to 16 letters and digits, / for a prefix or suffix): $1"
}
role_of() {
  case "$1" in ncs) echo velmora_ncs ;; logger) echo velmora_logger ;; *) die "ncs or logger, not $1" ;; esac
}

# Replaces the line of host:port:database:user in the password file (or adds it).
pgpass_put() {
  local file="$1" prefix="$2" password="$3" tmp
  tmp="$(mktemp "$file.XXXXXX")"
  if [ -f "$file" ]; then awk -v p="$prefix:" 'index($0, p) != 1' "$file" >"$tmp"; fi
  printf '%s:%s\n' "$prefix" "$password" >>"$tmp"
  chmod 600 "$tmp"
  mv "$tmp" "$file"
}

# Creates a sign-in for an operator call with a fresh password kept in the password file
# (a second run for the same call gives it a new one), and prints its connection string.
add_signin() {
  local call="$1" role user password file
  check_call "$call"
  call="$(echo "$call" | tr '[:lower:]' '[:upper:]')"
  user="$(echo "$call" | tr '[:upper:]/' '[:lower:]_')"
  role="$(role_of "$2")"
  password="$(openssl rand -hex 16)"
  # Given on standard input: a command line is seen by every process of the machine.
  {
    echo "SELECT format('CREATE ROLE %I LOGIN', '$user') WHERE NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '$user')"
    echo '\gexec'
    echo "ALTER ROLE \"$user\" LOGIN PASSWORD '$password';"
    signin_sql "$user" "$call" "$role"
  } | as_owner psql -X -q -v ON_ERROR_STOP=1 "host=$dir/run port=$(port_of) user=$admin dbname=$database" -f - >/dev/null
  file="$(pgpass_file)"
  umask 077
  pgpass_put "$file" "$dir/run:$(port_of):$database:$user" "$password"
  if [ -f "$dir/listen" ]; then
    pgpass_put "$file" "$(cat "$dir/listen"):$(port_of):$database:$user" "$password"
  fi
  if [ -n "${SUDO_USER:-}" ]; then chown "$SUDO_USER:" "$file"; fi
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
    [ $# -ge 2 ] || die "init DIR --ncs CALL [--logger CALL] [--listen ADDR] [--port PORT]"
    dir="$(realpath -m "$2")"; shift 2
    listen="" port=5432 ncs_call="" logger_call=""
    while [ $# -gt 0 ]; do
      case "$1" in
        --listen) listen="$2"; shift 2 ;;
        --port) port="$2"; shift 2 ;;
        --ncs) ncs_call="$2"; shift 2 ;;
        --logger) logger_call="$2"; shift 2 ;;
        *) die "unknown option $1" ;;
      esac
    done
    [ -n "$ncs_call" ] || die "init needs the net control's call: --ncs CALL"
    check_call "$ncs_call"
    if [ -n "$logger_call" ]; then check_call "$logger_call"; fi
    [ -e "$dir/data" ] && die "$dir already holds a cluster"
    install_missing
    mkdir -p "$dir/run" "$dir/data"
    owner="$(id -un)"
    if [ "$(id -u)" -eq 0 ]; then
      id "$server_user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$server_user"
      owner="$server_user"
      chown "$owner:" "$dir/run" "$dir/data"
    fi
    chmod 755 "$dir" "$dir/run"
    chmod 700 "$dir/data"
    # Every folder above DIR must let the cluster's owner pass (a home such as /root does not).
    if [ "$owner" != "$(id -un)" ] && ! runuser -u "$owner" -- test -x "$dir/data" -a -w "$dir/data"; then
      blocked="$dir"
      while [ "$blocked" != / ] && runuser -u "$owner" -- test -x "$(dirname "$blocked")"; do blocked="$(dirname "$blocked")"; done
      rmdir "$dir/run" "$dir/data" 2>/dev/null || true
      die "the cluster's owner $owner cannot reach $dir: the folder $(dirname "$blocked") is closed to other users. Choose a folder such as /srv/velmora-net."
    fi
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
    ncs="$(add_signin "$ncs_call" ncs)"
    if [ -n "$logger_call" ]; then logger="$(add_signin "$logger_call" logger)"; fi
    if [ -n "$listen" ]; then echo "Clients reaching $listen need the server's certificate: $dir/server.crt"; fi
    echo "net control: $ncs"
    if [ -n "$logger_call" ]; then echo "logger: $logger"; fi
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
  signin)
    [ $# -eq 5 ] || die "signin CONNINFO USER CALL ncs|logger"
    check_call "$4"
    [[ "$3" =~ ^[a-z0-9_]{1,63}$ ]] || die "a sign-in's name is lower-case letters, digits and _: $3"
    signin_sql "$3" "$(echo "$4" | tr '[:lower:]' '[:upper:]')" "$(role_of "$5")" \
      | psql -X -q -v ON_ERROR_STOP=1 "$2" -f - >/dev/null
    ;;
  *)
    sed -n '2,17s/^# \{0,1\}//p' "$0"
    exit 2
    ;;
esac
