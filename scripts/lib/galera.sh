# Sourced by scripts/test: a three-node MariaDB Galera cluster on loopback
# ports, the office that outgrew one server. Each node has its own data
# folder, socket and ports under DIR/nodoN and stock settings (16 MiB
# packets). Node 1 starts the cluster; nodes 2 and 3 join it with empty data
# folders and receive its state by rsync. Never the system's
# service.
#
#   galera_iniciar DIR        starts the three nodes and exports
#                             OLVADO_TEST_GALERA_SOCKETS (the three sockets, in
#                             order, separated by blanks); answers 1, with the
#                             reason on standard error, where galera cannot start
#   galera_detener_nodo DIR N stops node N at once (a server lost, not shut down)
#   galera_detener DIR        stops every node
#
# GALERA_PUERTO (default 24600) is the first of the twelve loopback ports used.

galera_puerto() { # galera_puerto NODO SERVICIO(0 sql, 1 grupo, 2 ist, 3 sst)
  echo $((${GALERA_PUERTO:-24600} + ($1 - 1) * 4 + $2))
}

galera_nodo() { # galera_nodo DIR N [opciones...]: starts node N in the background
  local dir=$1 n=$2
  shift 2
  local d=$dir/nodo$n grupo="" i
  for i in 1 2 3; do grupo+="${grupo:+,}127.0.0.1:$(galera_puerto "$i" 1)"; done
  rm -f "$d/mysqld.sock"
  mariadbd --no-defaults --user=root --datadir="$d/data" --socket="$d/mysqld.sock" --pid-file="$d/mysqld.pid" \
    --port="$(galera_puerto "$n" 0)" --bind-address=127.0.0.1 --log-error="$d/error.log" \
    --innodb-buffer-pool-size=64M --binlog-format=ROW --innodb-autoinc-lock-mode=2 \
    --wsrep-on=ON --wsrep-provider=/usr/lib/galera/libgalera_smm.so --wsrep-cluster-name=olvado \
    --wsrep-cluster-address="gcomm://$grupo" --wsrep-node-address=127.0.0.1 --wsrep-node-name="nodo$n" \
    --wsrep-provider-options="gmcast.listen_addr=tcp://127.0.0.1:$(galera_puerto "$n" 1);ist.recv_addr=127.0.0.1:$(galera_puerto "$n" 2)" \
    --wsrep-sst-method=rsync --wsrep-sst-receive-address="127.0.0.1:$(galera_puerto "$n" 3)" \
    "$@" >/dev/null 2>&1 &
  # A node killed on purpose is no news for the caller's shell.
  disown
}

galera_listo() { # galera_listo DIR N [TAMANO]: node N is synced in a cluster of TAMANO (any)
  local estado
  estado=$(timeout 10 mariadb --no-defaults --socket="$1/nodo$2/mysqld.sock" -uroot -N -e \
    "SHOW STATUS WHERE Variable_name IN ('wsrep_cluster_size', 'wsrep_local_state_comment')" 2>/dev/null |
    awk '{v[$1] = $2} END {print v["wsrep_cluster_size"], v["wsrep_local_state_comment"]}')
  local tamano=${3:-[0-9]}
  [[ $estado == $tamano" Synced" ]]
}

# A state transfer takes minutes on a busy machine: each node gets five.
galera_sincronizar() { # galera_sincronizar DIR N
  local i
  for i in $(seq 1 300); do
    galera_listo "$1" "$2" && return 0
    sleep 1
  done
  echo "galera: el nodo $2 no se unió al grupo" >&2
  tail -5 "$1/nodo$2/error.log" >&2
  return 1
}

galera_esperar() { # galera_esperar DIR N: node N answers
  local i
  for i in $(seq 1 150); do
    mariadb-admin --no-defaults --socket="$1/nodo$2/mysqld.sock" -uroot ping >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  echo "galera: el nodo $2 no arrancó" >&2
  tail -5 "$1/nodo$2/error.log" >&2
  return 1
}

galera_iniciar() {
  local dir=$1 n i
  if [[ ! -f /usr/lib/galera/libgalera_smm.so ]]; then
    echo "galera: falta galera-4 (/usr/lib/galera/libgalera_smm.so)" >&2
    return 1
  fi
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  galera_detener "$dir"
  rm -rf "$dir"/nodo*
  mkdir -p "$dir/nodo1" "$dir/nodo2/data" "$dir/nodo3/data"
  mariadb-install-db --no-defaults --user=root --datadir="$dir/nodo1/data" --auth-root-authentication-method=normal \
    >"$dir/nodo1/install.log" 2>&1 || { cat "$dir/nodo1/install.log" >&2; return 1; }
  # The joiners' state comes by rsync, whose daemon runs as nobody.
  chown nobody "$dir/nodo2/data" "$dir/nodo3/data" || return 1
  galera_nodo "$dir" 1 --wsrep-new-cluster && galera_esperar "$dir" 1 || return 1
  mariadb --no-defaults --socket="$dir/nodo1/mysqld.sock" -uroot -e "CREATE DATABASE olvado_test" || return 1
  for n in 2 3; do
    galera_nodo "$dir" "$n" && galera_sincronizar "$dir" "$n" || { galera_detener "$dir"; return 1; }
  done
  for n in 1 2 3; do
    galera_listo "$dir" "$n" 3 ||
      { echo "galera: el nodo $n no ve un grupo de tres" >&2; galera_detener "$dir"; return 1; }
  done
  export OLVADO_TEST_GALERA_SOCKETS="$dir/nodo1/mysqld.sock $dir/nodo2/mysqld.sock $dir/nodo3/mysqld.sock"
}

galera_detener_nodo() {
  local pid=$1/nodo$2/mysqld.pid
  [[ -f $pid ]] && kill -9 "$(cat "$pid")" 2>/dev/null
  rm -f "$pid"
}

galera_detener() {
  local n pid
  for n in 3 2 1; do
    pid=$1/nodo$n/mysqld.pid
    [[ -f $pid ]] || continue
    mariadb-admin --no-defaults --socket="$1/nodo$n/mysqld.sock" -uroot shutdown >/dev/null 2>&1 ||
      kill "$(cat "$pid")" 2>/dev/null || true
  done
}
