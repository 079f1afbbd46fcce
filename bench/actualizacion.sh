#!/usr/bin/env bash
# The built updater against the engines' own clients, in one run, on SQLite
# (native provider) and on the private MariaDB of scripts/lib/mariadb.sh:
#  1. the up-to-date run (installed version = published version) against a
#     bare `sqlite3` / `mariadb -e` query of the same row;
#  2. a full update of a 256 MiB package against the client's extraction of
#     the same bytes plus `md5sum` of them (`sqlite3` writefile; `mariadb -q
#     --raw`). The package is a "#!/bin/sh" installer that exits at once
#     after its first lines, followed by 256 MiB of random bytes, so its own
#     run costs nothing and the installed version never changes;
#  3. the same full update with the package signed and the workstation's key
#     configured (the signature is checked in the digest's read), against the
#     same client extraction.
# Each measure is the best of several runs; peak memory is the maximum
# resident set size that /usr/bin/time reports.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

[[ -f build/linux/build.ninja ]] || cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target olvado_updater olvado_admin >/dev/null
admin=$root/build/linux/olvado-admin
updater=$root/build/linux/olvado-updater
source "$root/scripts/lib/mariadb.sh"
# Packets of 1 GiB: the client extracts the whole Binario the family reads.
MARIADB_OPCIONES_EXTRA=--max-allowed-packet=1G mariadb_iniciar "$root/build/mariadb-grande" >/dev/null
maria=(mariadb --no-defaults --socket="$OLVADO_TEST_MARIADB_SOCKET" -uroot --max-allowed-packet=1G)
"${maria[@]}" -e "CREATE DATABASE IF NOT EXISTS olvado_bench"

datos=$root/build/bench-actualizacion
rm -rf "$datos"
mkdir -p "$datos/home/Documents" "$datos/tmp" "$datos/opt/Olvado" "$datos/var/lib/Olvado Systems/Olvado/DB"
export OLVADO_ROOT=$datos HOME=$datos/home TMPDIR=$datos/tmp
unset XDG_DOCUMENTS_DIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR
"$root/scripts/lib/demo/hacer-paquete" programa 1.0.66 "$datos/opt/Olvado/Olvado.exe"
almacen="$datos/var/lib/Olvado Systems/Olvado/Conexiones.dat"
base=$datos/Olvado.db
: >"$base"
cadena_sqlite="Provider=SQLite;Data Source=$base"
cadena_maria="Provider=MSDASQL.1;Driver={MariaDB Unicode};Socket=$OLVADO_TEST_MARIADB_SOCKET;Database=olvado_bench;User=root;Password=;"

tamano=$((256 * 1024 * 1024))
paquete=$datos/paquete-256MiB
{ printf '#!/bin/sh\nexit 0\n'; head -c $tamano /dev/urandom; } >"$paquete"
chmod +x "$paquete"
pequeno=$datos/paquete-pequeno
printf '#!/bin/sh\nexit 0\n' >"$pequeno"

# usar MOTOR: the store holds only that engine's connection.
usar() {
  rm -f "$almacen"
  if [[ $1 == sqlite ]]; then
    "$admin" conexion agregar --nombre bench --cadena "$cadena_sqlite" >/dev/null
  else
    "$admin" conexion agregar --nombre bench --cadena "$cadena_maria" --catalogo olvado_bench >/dev/null
  fi
}
clave="SELECT Major, Minor, Revision, MD5Hash FROM BinariosAct WHERE Producto = 'Olvado'"
consulta_sqlite=(sqlite3 "$base" "$clave")
consulta_maria=("${maria[@]}" -e "$clave" olvado_bench)

medidas=$(mktemp)
trap 'rm -f "$medidas"' EXIT
declare -A mejor memoria
medir() { # medir NOMBRE comando...: best time and peak memory of NOMBRE
  local n=$1
  shift
  /usr/bin/time -f '%e %M' -o "$medidas" "$@" >/dev/null
  read -r segundos kib <"$medidas"
  if [[ -z ${mejor[$n]:-} ]] || awk -v a="$segundos" -v b="${mejor[$n]}" 'BEGIN{exit !(a<b)}'; then
    mejor[$n]=$segundos
  fi
  ((${memoria[$n]:-0} > kib)) || memoria[$n]=$kib
}
# Ten runs in a row, timed together (one run is too short for the clock).
diez() { for _ in 1 2 3 4 5 6 7 8 9 10; do "$@" >/dev/null; done; }
export -f diez
ultima_linea() { tail -c 400 "$HOME/Documents/Olvado_UpdaterLog.txt" | tr -d '\r' | tail -1; }

# 1. Up to date: the published version is the installed one.
for motor in sqlite maria; do
  usar $motor
  "$admin" publicar "$pequeno" --version 1.0.66 >/dev/null
  "$updater"
  ultima_linea | grep -q "ActualizarVersionDistribucion: Verdadero" ||
    { echo "actualizacion.sh: la ejecución al día no terminó como se esperaba ($motor)" >&2; exit 1; }
  for ronda in 1 2 3; do
    # (a shell runs the loop: /usr/bin/time starts programs, not functions)
    medir "al-dia-olvado-$motor" bash -c 'diez "$@"' _ "$updater"
    if [[ $motor == sqlite ]]; then medir "al-dia-cliente-$motor" bash -c 'diez "$@"' _ "${consulta_sqlite[@]}"
    else medir "al-dia-cliente-$motor" bash -c 'diez "$@"' _ "${consulta_maria[@]}"; fi
  done
done

# 2. Full update of the 256 MiB package.
extraccion=$datos/extraido.bin
extraer_sqlite() {
  sqlite3 "$base" "SELECT writefile('$extraccion', Binario) FROM BinariosAct WHERE Producto = 'Olvado'" >/dev/null
  md5sum "$extraccion"
}
extraer_maria() {
  "${maria[@]}" -q --raw -N -e "SELECT Binario FROM BinariosAct WHERE Producto = 'Olvado'" olvado_bench >"$extraccion"
  md5sum "$extraccion"
}
export -f extraer_sqlite extraer_maria
export base extraccion
for motor in sqlite maria; do
  usar $motor
  "$admin" publicar "$paquete" --version 1.0.70 >/dev/null 2>&1
  cat "$paquete" "$base" >/dev/null
  for ronda in 1 2 3; do
    medir "completa-olvado-$motor" "$updater"
    grep -q "Ejecutar Archivo: .*Olvado_Act.exe, /SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-" \
      <(tail -c 2000 "$HOME/Documents/Olvado_UpdaterLog.txt") ||
      { echo "actualizacion.sh: la actualización completa no llegó a ejecutar el paquete ($motor)" >&2; exit 1; }
    if [[ $motor == sqlite ]]; then medir "completa-cliente-$motor" bash -c 'maria=("$@"); extraer_sqlite' _
    else medir "completa-cliente-$motor" bash -c 'maria=("$@"); extraer_maria' _ "${maria[@]}"; fi
  done
  rm -f "$extraccion"
done

# 3. Signed: the key pair, the public key in the workstation's registry.
"$admin" claves generar --privada "$datos/privada" --publica "$datos/publica" >/dev/null
mkdir -p "$datos/etc/olvado"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Olvado Systems\\Olvado]\r\n"ClavePublicaPaquetes"="%s"\r\n' \
  "$(cat "$datos/publica")" >"$datos/etc/olvado/HKLM.reg"
for motor in sqlite maria; do
  usar $motor
  "$admin" publicar "$paquete" --version 1.0.70 --firmar "$datos/privada" >/dev/null 2>&1
  cat "$paquete" "$base" >/dev/null
  for ronda in 1 2 3; do
    medir "firmada-olvado-$motor" "$updater"
    grep -q "Ejecutar Archivo: .*Olvado_Act.exe, /SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-" \
      <(tail -c 2000 "$HOME/Documents/Olvado_UpdaterLog.txt") ||
      { echo "actualizacion.sh: la actualización firmada no llegó a ejecutar el paquete ($motor)" >&2; exit 1; }
  done
done
rm -f "$datos/etc/olvado/HKLM.reg"

echo "Mejor de 3; al día: 10 ejecuciones seguidas; paquete: $tamano bytes (memoria: máximo residente)"
printf '%-28s %10s %14s\n' medida segundos "memoria máx"
for n in al-dia-olvado-sqlite al-dia-cliente-sqlite al-dia-olvado-maria al-dia-cliente-maria \
  completa-olvado-sqlite completa-cliente-sqlite completa-olvado-maria completa-cliente-maria \
  firmada-olvado-sqlite firmada-olvado-maria; do
  printf '%-28s %10s %10s KiB\n' "$n" "${mejor[$n]}" "${memoria[$n]}"
done
for m in sqlite maria; do
  awk -v a="${mejor[al-dia-olvado-$m]}" -v b="${mejor[al-dia-cliente-$m]}" -v m=$m \
    'BEGIN{printf "%s al día: olvado / cliente = %.2f (objetivo <= 1.5)\n", m, a/b}'
  awk -v a="${mejor[completa-olvado-$m]}" -v b="${mejor[completa-cliente-$m]}" -v m=$m \
    'BEGIN{printf "%s completa: olvado / cliente + md5sum = %.2f (objetivo <= 1.2)\n", m, a/b}'
  awk -v a="${mejor[firmada-olvado-$m]}" -v b="${mejor[completa-cliente-$m]}" -v m=$m \
    'BEGIN{printf "%s firmada: olvado / cliente + md5sum = %.2f (objetivo <= 1.2)\n", m, a/b}'
done
