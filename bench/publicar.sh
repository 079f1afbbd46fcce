#!/usr/bin/env bash
# olvado-admin publicar --firmar of packages of 256 MiB and 768 MiB on SQLite
# (native provider) and on the private MariaDB of scripts/lib/mariadb.sh: time
# and peak memory (maximum resident set that /usr/bin/time reports). The
# package streams into its row, so the memory must not grow with its size
# (target: under 64 MiB). Beside it, `sqlite3` loading the same bytes with
# readfile, for scale (SQLite's limit on a value is 1e9 bytes); and a first
# signed publication into a table that the family made without Firma.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

[[ -f build/linux/build.ninja ]] || cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target olvado_admin >/dev/null
admin=$root/build/linux/olvado-admin
source "$root/scripts/lib/mariadb.sh"
# Packets of 1 GiB: the package goes whole into Binario too.
MARIADB_OPCIONES_EXTRA=--max-allowed-packet=1G mariadb_iniciar "$root/build/mariadb-grande" >/dev/null
maria=(mariadb --no-defaults --socket="$OLVADO_TEST_MARIADB_SOCKET" -uroot --max-allowed-packet=1G)
"${maria[@]}" -e "CREATE DATABASE IF NOT EXISTS olvado_bench"

datos=$root/build/bench-publicar
rm -rf "$datos"
mkdir -p "$datos/home" "$datos/tmp"
export OLVADO_ROOT=$datos HOME=$datos/home TMPDIR=$datos/tmp
unset XDG_DOCUMENTS_DIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR
almacen="$datos/var/lib/Olvado Systems/Olvado/Conexiones.dat"
base=$datos/Olvado.db
: >"$base"
"$admin" claves generar --privada "$datos/privada" --publica "$datos/publica" >/dev/null

medidas=$(mktemp)
trap 'rm -f "$medidas"' EXIT
printf '%-34s %10s %12s\n' medida segundos "memoria máx"
medir() { # medir NOMBRE comando...
  local n=$1
  shift
  /usr/bin/time -f '%e %M' -o "$medidas" "$@" >/dev/null 2>&1
  read -r segundos kib <"$medidas"
  printf '%-34s %10s %8s KiB\n' "$n" "$segundos" "$kib"
}
for mib in 256 768; do
  paquete=$datos/paquete
  head -c $((mib * 1024 * 1024)) /dev/urandom >"$paquete"
  for motor in sqlite maria; do
    rm -f "$almacen"
    if [[ $motor == sqlite ]]; then
      rm -f "$base" && : >"$base"
      "$admin" conexion agregar --nombre bench --cadena "Provider=SQLite;Data Source=$base" >/dev/null
    else
      "${maria[@]}" -e "DROP TABLE IF EXISTS BinariosAct" olvado_bench
      "$admin" conexion agregar --nombre bench --catalogo olvado_bench --cadena \
        "Provider=MSDASQL.1;Driver={MariaDB Unicode};Socket=$OLVADO_TEST_MARIADB_SOCKET;Database=olvado_bench;User=root;Password=;" >/dev/null
    fi
    medir "publicar-$motor-${mib}MiB" "$admin" publicar "$paquete" --version 1.0.70 --firmar "$datos/privada"
  done
  medir "cliente-sqlite-${mib}MiB" sqlite3 "$base" "UPDATE BinariosAct SET Binario = readfile('$paquete')"
  # A table the family made, without Firma: the tool adds it before Binario.
  rm -f "$almacen" "$base" && : >"$base"
  sqlite3 "$base" "CREATE TABLE BinariosAct (Producto VARCHAR(50) NOT NULL PRIMARY KEY, Major INTEGER NOT NULL,
    Minor INTEGER NOT NULL, Revision INTEGER NOT NULL, MD5Hash VARCHAR(255), Binario BLOB)"
  "$admin" conexion agregar --nombre bench --cadena "Provider=SQLite;Data Source=$base" >/dev/null
  medir "publicar-sqlite-familia-${mib}MiB" "$admin" publicar "$paquete" --version 1.0.70 --firmar "$datos/privada"
  rm -f "$paquete"
done
