#!/usr/bin/env bash
# The history of an office: R rows of HistorialAct from W workstations (one
# run a day each, the versions climbing to the published one, a few failures),
# made by the engine itself (a recursive CTE on SQLite, INSERT ... SELECT over
# MariaDB's sequence table), then `olvado-admin historial` and `informe` timed
# (wall seconds and peak memory from /usr/bin/time) on SQLite (native
# provider) and on the private MariaDB of scripts/lib/mariadb.sh. The table is
# the one `publicar --historial` makes, index included. Then the same report
# with a ring per workstation group (an Anillo column, A distinct values):
# the report's cost must grow with the rings, not with their square.
#
#   bench/historial.sh [R [W [A]]]   (default 1000000 10000 8000; target: each
#                                    command under 5 s at the default size)
# Columns: wall seconds, the command's CPU seconds, the MariaDB server's CPU
# seconds meanwhile (0 for SQLite, which runs in the command), peak memory.
#   OLVADO_BENCH_BIN=DIR             the olvado-admin to measure (default
#                                    build/linux, built if missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
filas=${1:-1000000}
estaciones=${2:-10000}
anillos=${3:-8000}
dias=$(((filas + estaciones - 1) / estaciones))

bin=${OLVADO_BENCH_BIN:-}
if [[ -z $bin ]]; then
  [[ -f build/linux/build.ninja ]] || cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/linux --target olvado_admin >/dev/null
  bin=$root/build/linux
fi
admin=$bin/olvado-admin

source "$root/scripts/lib/mariadb.sh"
servidor=$root/build/mariadb-historial
mariadb_iniciar "$servidor" >/dev/null
trap 'mariadb_detener "$servidor"' EXIT
maria=(mariadb --no-defaults --socket="$OLVADO_TEST_MARIADB_SOCKET" -uroot)
"${maria[@]}" -e "DROP DATABASE IF EXISTS olvado_bench; CREATE DATABASE olvado_bench"

datos=$root/build/bench-historial
rm -rf "$datos"
mkdir -p "$datos/home" "$datos/tmp"
export OLVADO_ROOT=$datos HOME=$datos/home TMPDIR=$datos/tmp
unset XDG_DOCUMENTS_DIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR
almacen="$datos/var/lib/Olvado Systems/Olvado/Conexiones.dat"
base=$datos/Olvado.db
printf '#!/bin/sh\nexit 0\n' >"$datos/paquete"

# The columns of row i (0 .. R-1): workstation i mod W on day i div W (its
# time of day from i too); the version climbs a revision every tenth of the
# days, up to 1.0.70 on the last days; one run in 50 failed, one installed.
# $1..$3: the engine's workstation, user and date of row i; $4 its integer
# division.
columnas() {
  echo "$1, $2, 'Olvado', 1, 0, 70 - (($dias - 1 - i $4 $estaciones) * 10 $4 $dias)," \
    "CASE WHEN i % 50 = 7 THEN 'firma no valida' WHEN i % 50 = 3 THEN 'instalando' ELSE 'al dia' END, $3"
}
# The columns that the rows fill (the table has more: ring, road, bytes).
lista="Estacion, Usuario, Producto, Major, Minor, Revision, Resultado, Fecha"
generar() {
  if [[ $1 == sqlite ]]; then
    sqlite3 "$base" "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < $filas - 1)
      INSERT INTO HistorialAct ($lista) SELECT $(columnas "printf('estacion-%05d', i % $estaciones)" \
      "'usuario' || (i % 97)" \
      "datetime('now', '-$dias days', '+' || (i / $estaciones) || ' days', '+' || (i % 28800) || ' seconds')" /) FROM n"
  else
    "${maria[@]}" olvado_bench -e "INSERT INTO HistorialAct ($lista) SELECT $(columnas \
      "CONCAT('estacion-', LPAD(i % $estaciones, 5, '0'))" "CONCAT('usuario', i % 97)" \
      "NOW() - INTERVAL $dias DAY + INTERVAL (i DIV $estaciones) DAY + INTERVAL (i % 28800) SECOND" DIV) \
      FROM (SELECT seq AS i FROM seq_0_to_$((filas - 1))) AS n"
  fi
}
# The ring column (publicar --historial makes it; the report reads it): A rings.
anillar() {
  if [[ $1 == sqlite ]]; then
    sqlite3 "$base" "UPDATE HistorialAct SET Anillo = 'anillo-' || (CAST(SUBSTR(Estacion, 10) AS INTEGER) % $anillos)"
  else
    "${maria[@]}" olvado_bench -e "UPDATE HistorialAct SET Anillo = CONCAT('anillo-', SUBSTR(Estacion, 10) % $anillos)"
  fi
}

medidas=$(mktemp)
trap 'rm -f "$medidas"; mariadb_detener "$servidor"' EXIT
pid=$(cat "$servidor/mysqld.pid")
# The server's CPU seconds so far (user + system): on a busy machine the wall
# time says little, the work done says what the command costs.
cpu_servidor() { awk -v t="$(getconf CLK_TCK)" '{printf "%.2f", ($14 + $15) / t}' "/proc/$pid/stat"; }
# After a million rows written, InnoDB purges and flushes for a while: the
# measures start when the server has been idle for a second (at most 60 s).
reposar() {
  local antes ahora i
  antes=$(cpu_servidor)
  for i in $(seq 60); do
    sleep 1
    ahora=$(cpu_servidor)
    (($(echo "$ahora - $antes < 0.05" | bc))) && return
    antes=$ahora
  done
}
printf '%-34s %8s %9s %9s %12s\n' medida segundos "cpu prog" "cpu serv" "memoria máx"
medir() { # medir NOMBRE comando...
  local n=$1 antes
  shift
  antes=$(cpu_servidor)
  /usr/bin/time -f '%e %U %S %M' -o "$medidas" "$@" >"$datos/$n.txt" 2>"$datos/$n.err" ||
    { cat "$datos/$n.err" >&2; exit 1; }
  read -r segundos u s kib <"$medidas"
  printf '%-34s %8s %9.2f %9.2f %8s KiB\n' "$n" "$segundos" "$(echo "$u + $s" | bc)" \
    "$(echo "$(cpu_servidor) - $antes" | bc)" "$kib"
}
for motor in sqlite maria; do
  rm -f "$almacen"
  if [[ $motor == sqlite ]]; then
    rm -f "$base" && : >"$base"
    "$admin" conexion agregar --nombre bench --cadena "Provider=SQLite;Data Source=$base" >/dev/null
  else
    "$admin" conexion agregar --nombre bench --catalogo olvado_bench --cadena \
      "Provider=MSDASQL.1;Driver={MariaDB Unicode};Socket=$OLVADO_TEST_MARIADB_SOCKET;Database=olvado_bench;User=root;Password=;" >/dev/null
  fi
  "$admin" publicar "$datos/paquete" --version 1.0.70 --historial >/dev/null 2>&1
  inicio=$(date +%s%N)
  generar "$motor"
  ms=$((($(date +%s%N) - inicio) / 1000000))
  printf '%-34s %8s\n' "filas-$motor-$filas" "$((ms / 1000)).$(printf %03d $((ms % 1000)))"
  reposar
  medir "historial-$motor" "$admin" historial
  lineas=$(grep -c '^estacion-' "$datos/historial-$motor.txt")
  ((lineas == estaciones)) || { echo "historial-$motor: $lineas estaciones, no $estaciones" >&2; exit 1; }
  medir "informe-$motor" "$admin" informe --salida "$datos/informe-$motor.html"
  anillar "$motor"
  reposar
  medir "informe-$motor-$anillos-anillos" "$admin" informe --salida "$datos/informe-$motor-anillos.html"
done
