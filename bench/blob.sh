#!/usr/bin/env bash
# BLOB_a_Archivo of a 256 MiB package against the engines' own tools writing
# the same bytes, in one run: SQLite through the native provider against
# `sqlite3 ... "SELECT writefile(...)"`, MariaDB through ODBC against
# `mariadb -q --raw`. Each tool runs three times in turn and keeps its best
# time; peak memory is the maximum resident set size that /usr/bin/time
# reports for the whole process. MariaDB is the private server of
# scripts/lib/mariadb.sh (started here when not running).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

[[ -f build/linux/build.ninja ]] || cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target olvado_blob_bench >/dev/null
bench=$root/build/linux/bench/olvado_blob_bench
source "$root/scripts/lib/mariadb.sh"
# Packets of 1 GiB: the client extracts the whole Binario the family reads.
MARIADB_OPCIONES_EXTRA=--max-allowed-packet=1G mariadb_iniciar "$root/build/mariadb-grande" >/dev/null

datos=$root/build/bench-data
mkdir -p "$datos"
tamano=$((256 * 1024 * 1024))
paquete=$datos/paquete-256MiB.bin
if [[ ! -f $paquete || $(stat -c %s "$paquete") -ne $tamano ]]; then
  head -c $tamano /dev/urandom >"$paquete"
fi
base=$datos/paquetes.db
rm -f "$base" && sqlite3 "$base" "PRAGMA page_size=65536; VACUUM;"
sqlite=("Provider=SQLite;Data Source=$base")
# A database of its own, so that the tests' tables are not touched.
mariadb --no-defaults --socket="$OLVADO_TEST_MARIADB_SOCKET" -uroot -e "CREATE DATABASE IF NOT EXISTS olvado_bench"
maria="Driver={MariaDB Unicode};Socket=$OLVADO_TEST_MARIADB_SOCKET;Database=olvado_bench;User=root;"
"$bench" --importar "${sqlite[0]}" "$paquete"
"$bench" --importar "$maria" "$paquete"
cat "$paquete" "$base" >/dev/null

salida=$datos/salida.bin
medidas=$(mktemp)
trap 'rm -f "$medidas" "$salida"' EXIT
declare -A mejor memoria
nombres=(olvado-sqlite sqlite3 olvado-mariadb mariadb)
medir() { # medir NOMBRE comando...: best time and peak memory of NOMBRE
  local n=$1
  shift
  rm -f "$salida"
  if [[ $n == mariadb ]]; then
    /usr/bin/time -f '%e %M' -o "$medidas" "$@" >"$salida"
  else
    /usr/bin/time -f '%e %M' -o "$medidas" "$@" >/dev/null
  fi
  read -r segundos kib <"$medidas"
  # The client writes a line end after the value; the bytes before it must match.
  cmp -n $tamano "$salida" "$paquete" >/dev/null || { echo "blob.sh: $n no escribió los mismos bytes" >&2; exit 1; }
  if [[ -z ${mejor[$n]:-} ]] || awk -v a="$segundos" -v b="${mejor[$n]}" 'BEGIN{exit !(a<b)}'; then
    mejor[$n]=$segundos
  fi
  ((${memoria[$n]:-0} > kib)) || memoria[$n]=$kib
}
for ronda in 1 2 3; do
  medir olvado-sqlite "$bench" --exportar "${sqlite[0]}" "$salida"
  medir sqlite3 sqlite3 "$base" "SELECT writefile('$salida', Binario) FROM Paquetes WHERE id=1"
  medir olvado-mariadb "$bench" --exportar "$maria" "$salida"
  medir mariadb mariadb --no-defaults --socket="$OLVADO_TEST_MARIADB_SOCKET" -uroot --max-allowed-packet=1G -q --raw -N \
    -e "SELECT Binario FROM Paquetes WHERE id=1" olvado_bench
done

echo "Paquete: $tamano bytes, mejor de 3 ejecuciones, MB = 10^6 bytes (memoria: máximo residente del proceso)"
printf '%-15s %10s %10s %14s\n' herramienta segundos MB/s "memoria máx"
for n in "${nombres[@]}"; do
  mbs=$(awk -v t="${mejor[$n]}" -v b=$tamano 'BEGIN{printf "%.0f", b/t/1e6}')
  printf '%-15s %10s %10s %10s KiB\n' "$n" "${mejor[$n]}" "$mbs" "${memoria[$n]}"
done
awk -v a="${mejor[sqlite3]}" -v b="${mejor[olvado-sqlite]}" 'BEGIN{printf "SQLite: olvado / sqlite3 = %.2f de su velocidad\n", a/b}'
awk -v a="${mejor[mariadb]}" -v b="${mejor[olvado-mariadb]}" 'BEGIN{printf "MariaDB: olvado / mariadb = %.2f de su velocidad\n", a/b}'
