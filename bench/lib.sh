# shellcheck shell=bash disable=SC2034,SC2154
# Sourced by the benchmarks that run workstations against the private MariaDB
# of scripts/lib/mariadb.sh (oficina.sh, delta.sh): the programs to measure,
# the server and its cleanup, a workstation's tree, the 100 MiB delta pair.
# Expects $root (the checkout) and set -euo pipefail from its caller.

# bench_programas TARGET...: builds those targets of the native build (as
# scripts/build configures it: objects shared with the other checkouts
# through the compiler cache) and sets $bin to its folder; OLVADO_BENCH_BIN
# names other programs to measure instead, for olvado-updater and olvado-admin.
bench_programas() {
  if [[ -n ${OLVADO_BENCH_BIN:-} ]]; then
    bin=$OLVADO_BENCH_BIN
    return
  fi
  local lanzador=()
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
    lanzador=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  [[ -f $root/build/linux/build.ninja ]] ||
    cmake -S "$root" -B "$root/build/linux" -G Ninja "${lanzador[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build/linux" --target "$@" >/dev/null
  bin=$root/build/linux
}

# Cleanup at exit, whatever ends the script: bench_al_salir COMMAND adds one.
bench_limpiezas=()
bench_limpiar() {
  local c
  for c in "${bench_limpiezas[@]}"; do eval "$c" || true; done
}
trap bench_limpiar EXIT
bench_al_salir() { bench_limpiezas+=("$1"); }

# bench_servidor NAME: a fresh private server in build/NAME (never the
# system's), stopped at exit; MARIADB_OPCIONES_EXTRA passes server options.
# Sets $servidor_pid, $maria (the client, as root) and $cadena (the
# workstations' connection string to database olvado_test).
bench_servidor() {
  source "$root/scripts/lib/mariadb.sh"
  servidor=$root/build/$1
  mariadb_detener "$servidor" || true # nothing to stop the first time
  rm -rf "$servidor"
  mariadb_iniciar "$servidor" >/dev/null
  bench_al_salir 'mariadb_detener "$servidor"'
  servidor_pid=$(cat "$servidor/mysqld.pid")
  maria=(mariadb --no-defaults --socket="$OLVADO_TEST_MARIADB_SOCKET" -uroot --max-allowed-packet=1G)
  cadena="Provider=MSDASQL.1;Driver={MariaDB Unicode};Socket=$OLVADO_TEST_MARIADB_SOCKET;Database=olvado_test;User=root;Password=;"
}

# bench_estacion DIR PROGRAMA: a workstation's tree of its own under DIR
# (its OLVADO_ROOT), with PROGRAMA installed as the main program and a
# connection store naming the server.
bench_estacion() {
  local e=$1
  mkdir -p "$e/home/Documents" "$e/tmp" "$e/opt/Olvado" "$e/var/lib/Olvado Systems/Olvado/DB"
  mkdir -m 700 "$e/run"
  cp "$2" "$e/opt/Olvado/Olvado.exe"
  OLVADO_ROOT=$e HOME=$e/home "$bin/olvado-admin" conexion agregar --nombre oficina --cadena "$cadena" \
    --catalogo olvado_test >/dev/null
}
# Where a workstation under DIR keeps the package it last wrote.
bench_paquete_estacion() { echo "$1/var/lib/Olvado Systems/Olvado/DB/Olvado_Act.exe"; }

# bench_actualizador DIR [ARG...]: the updater run as workstation DIR, in a
# session of its own (per-session mutexes); its peak resident memory in KiB
# goes to DIR/rss.
bench_actualizador() {
  local e=$1
  shift
  OLVADO_ROOT=$e HOME=$e/home TMPDIR=$e/tmp XDG_RUNTIME_DIR=$e/run \
    /usr/bin/time -f '%M' -o "$e/rss" "$bin/olvado-updater" "$@" >/dev/null 2>&1 || true
}
# bench_actualizada DIR: true when the workstation's last run started a package.
bench_actualizada() {
  tail -c 2000 "$1/home/Documents/Olvado_UpdaterLog.txt" 2>/dev/null | tr -d '\r' |
    grep -q "Ejecutar Archivo: .*Olvado_Act.exe, /SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-"
}

# bench_par_100mib DIR: the 100 MiB pair of random bytes, the second with
# 2 % of its 4 KiB blocks changed and 1 MiB inserted in the middle, made
# once and kept in DIR for later runs; sets $base and $destino.
bench_par_100mib() {
  base=$1/delta-base.bin destino=$1/delta-destino.bin
  [[ -f $base && -f $destino ]] && return
  echo "creando el par de 100 MiB en $1" >&2
  mkdir -p "$1"
  head -c $((100 << 20)) /dev/urandom >"$base"
  cp "$base" "$destino"
  local bloques=$((100 << 20 >> 12)) i
  for ((i = 0; i < bloques / 50; i++)); do
    dd if=/dev/urandom of="$destino" bs=4096 count=1 seek=$(((RANDOM * 32768 + RANDOM) % bloques)) \
      conv=notrunc status=none 2>/dev/null || true
  done
  { head -c $((50 << 20)) "$destino"; head -c $((1 << 20)) /dev/urandom; tail -c +$(((50 << 20) + 1)) "$destino"; } \
    >"$destino.tmp" && mv "$destino.tmp" "$destino"
}

# bench_tormenta FUNCION ARG...: FUNCION run N ($n) times at once, the
# copy's number in $I; prints the wall time in seconds.
bench_tormenta() {
  local inicio copias=() i
  inicio=$(date +%s.%N)
  for i in $(seq 1 "$n"); do
    I=$i "$@" &
    copias+=($!)
  done
  wait "${copias[@]}"
  awk -v a="$inicio" -v b="$(date +%s.%N)" 'BEGIN{printf "%.2f", b - a}'
}
