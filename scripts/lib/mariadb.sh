# Sourced by scripts/test and the benchmarks: a private MariaDB server for the
# run, on its own socket and data folder under the build tree, never the
# system's service.
#
#   mariadb_iniciar DIR   starts it (initialising DIR the first time) and
#                         exports OLVADO_TEST_MARIADB_SOCKET, OLVADO_TEST_MARIADB_DB
#   mariadb_detener DIR   stops it
#
# The socket lives in a folder of its own under /tmp, not under DIR: the
# run-as tests reach the server as another account, and a checkout in a home
# folder that others cannot enter (root's is 0700) would hide it from them.
# DIR/zocalo names that folder between a start and its stop.

# mariadb_carpeta_zocalo DIR: the socket's folder of DIR's server, made
# (0755, ours) when there is none yet.
mariadb_carpeta_zocalo() {
  local dir=$1 carpeta
  carpeta=$(cat "$dir/zocalo" 2>/dev/null)
  if [[ -n $carpeta && -d $carpeta && ! -L $carpeta && -O $carpeta ]]; then
    echo "$carpeta"
    return
  fi
  carpeta=$(mktemp -d /tmp/olvado-mariadb.XXXXXX) || return 1
  chmod 0755 "$carpeta" && echo "$carpeta" >"$dir/zocalo" && echo "$carpeta"
}

mariadb_iniciar() {
  local dir=$1
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  local carpeta
  carpeta=$(mariadb_carpeta_zocalo "$dir") || { echo "mariadb: no hay carpeta para el socket" >&2; return 1; }
  local datos=$dir/data sock=$carpeta/mysqld.sock pid=$dir/mysqld.pid
  if [[ ! -d $datos/mysql ]]; then
    mariadb-install-db --no-defaults --user=root --datadir="$datos" --auth-root-authentication-method=normal \
      >"$dir/install.log" 2>&1 || { cat "$dir/install.log" >&2; return 1; }
  fi
  if [[ -S $sock ]] && mariadb-admin --no-defaults --socket="$sock" -uroot ping >/dev/null 2>&1; then
    :
  else
    rm -f "$sock"
    mariadbd --no-defaults --user=root --datadir="$datos" --socket="$sock" --pid-file="$pid" \
      --skip-networking --skip-grant-tables=0 --log-error="$dir/error.log" \
      --innodb-buffer-pool-size=256M --innodb-log-file-size=512M ${MARIADB_OPCIONES_EXTRA:-} \
      >/dev/null 2>&1 &
    local i
    for i in $(seq 1 100); do
      mariadb-admin --no-defaults --socket="$sock" -uroot ping >/dev/null 2>&1 && break
      sleep 0.2
    done
    mariadb-admin --no-defaults --socket="$sock" -uroot ping >/dev/null 2>&1 ||
      { echo "mariadb: el servidor no arrancó" >&2; tail -20 "$dir/error.log" >&2; return 1; }
  fi
  mariadb --no-defaults --socket="$sock" -uroot -e "CREATE DATABASE IF NOT EXISTS olvado_test" || return 1
  export OLVADO_TEST_MARIADB_SOCKET=$sock
  export OLVADO_TEST_MARIADB_DB=olvado_test
  export OLVADO_TEST_MARIADB_DIR=$dir
}

mariadb_detener() {
  local dir=$1
  local carpeta pid=$dir/mysqld.pid
  carpeta=$(cat "$dir/zocalo" 2>/dev/null)
  if [[ -n $carpeta && -S $carpeta/mysqld.sock ]]; then
    mariadb-admin --no-defaults --socket="$carpeta/mysqld.sock" -uroot shutdown >/dev/null 2>&1 || true
  fi
  if [[ -f $pid ]]; then
    kill "$(cat "$pid")" 2>/dev/null || true
  fi
  if [[ -n $carpeta && -d $carpeta && ! -L $carpeta && -O $carpeta ]]; then
    rm -rf "$carpeta"
  fi
  rm -f "$dir/zocalo"
}
