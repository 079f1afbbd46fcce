#!/usr/bin/env bash
# An office's morning: N workstations, each its own tree under OLVADO_ROOT,
# all started at once against one MariaDB (the private server of
# scripts/lib/mariadb.sh, stock packet limit), pulling a package of S MiB that
# olvado-admin published. Then the same N pulls at once with the server's own
# client (`mariadb -q --raw` + `md5sum`): the pieces in order where the
# package has them, else Binario. Prints N×S, how many updated, the wall time
# of each storm, the workstations' peak resident memory (/usr/bin/time) and
# the server's resident memory above idle (sampled every 0.1 s; idle is the
# server with the package published and nobody connected).
#
#   bench/oficina.sh [N [S]]     (default 40 128)
#   OLVADO_BENCH_BIN=DIR         the olvado-updater and olvado-admin to measure
#                                (default build/linux, built if missing)
#   OLVADO_BENCH_PAQUETE_RED=1G  starts the server with that max_allowed_packet
#                                (a package only in Binario needs it)
#   OLVADO_BENCH_PUBLICAR=...    more options for publicar, e.g. "--comprimir"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source "$root/bench/lib.sh"
n=${1:-40}
s=${2:-128}

bench_programas olvado_updater olvado_admin
MARIADB_OPCIONES_EXTRA=${OLVADO_BENCH_PAQUETE_RED:+--max-allowed-packet=$OLVADO_BENCH_PAQUETE_RED} \
  bench_servidor mariadb-oficina
pid=$servidor_pid

datos=$root/build/bench-oficina
rm -rf "$datos"
mkdir -p "$datos"
"$root/scripts/lib/demo/hacer-paquete" programa 1.0.66 "$datos/Olvado.exe"
paquete=$datos/paquete
{ printf '#!/bin/sh\nexit 0\n'; head -c $((s * 1024 * 1024)) /dev/urandom; } >"$paquete"

unset XDG_DOCUMENTS_DIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR
for i in $(seq 1 "$n"); do bench_estacion "$datos/e$i" "$datos/Olvado.exe"; done
OLVADO_ROOT=$datos/e1 HOME=$datos/e1/home "$bin/olvado-admin" publicar "$paquete" --version 1.0.70 ${OLVADO_BENCH_PUBLICAR:-} >/dev/null 2>"$datos/publicar.txt" ||
  { cat "$datos/publicar.txt" >&2; exit 1; }
trozos=$("${maria[@]}" -N -e "SELECT COUNT(*) FROM BinariosActTrozos" olvado_test 2>/dev/null || echo 0)

rss() { awk '/^VmRSS/ {print $2}' "/proc/$pid/status"; }
# muestrear ARCHIVO: the server's largest resident size until ARCHIVO.fin exists.
muestrear() {
  local max=0 r
  while [[ ! -e $1.fin ]]; do
    r=$(rss)
    ((r > max)) && max=$r
    sleep 0.1
  done
  echo "$max" >"$1"
}
# tormenta NOMBRE comando...: N copies at once (the copy's number in $I);
# wall time in $datos/NOMBRE.s, the server's peak in $datos/NOMBRE.rss.
tormenta() {
  local nombre=$1
  shift
  sleep 1
  rss >"$datos/$nombre.reposo"
  muestrear "$datos/$nombre.rss" &
  local muestra=$! inicio fin copias=()
  inicio=$(date +%s.%N)
  for i in $(seq 1 "$n"); do
    I=$i "$@" &
    copias+=($!)
  done
  wait "${copias[@]}"
  fin=$(date +%s.%N)
  touch "$datos/$nombre.rss.fin"
  wait "$muestra"
  awk -v a="$inicio" -v b="$fin" 'BEGIN{printf "%.1f", b - a}' >"$datos/$nombre.s"
}

una_estacion() { bench_actualizador "$datos/e$I"; }
un_cliente() {
  local sql="SELECT Binario FROM BinariosAct WHERE Producto = 'Olvado'"
  ((trozos > 0)) && sql="SELECT Datos FROM BinariosActTrozos WHERE Producto = 'Olvado' ORDER BY Trozo"
  "${maria[@]}" -q --raw -N -e "$sql" olvado_test | md5sum >/dev/null
}
tormenta olvado una_estacion
tormenta cliente un_cliente

actualizadas=0 pico=0
for i in $(seq 1 "$n"); do
  e=$datos/e$i
  bench_actualizada "$e" && actualizadas=$((actualizadas + 1))
  r=$(cat "$e/rss" 2>/dev/null || echo 0)
  ((r > pico)) && pico=$r
done
forma="Binario"
((trozos > 0)) && forma="$trozos trozos"
grep -q "solo en trozos" "$datos/publicar.txt" && forma="$forma (sin Binario)"
mib() { awk -v k="$1" 'BEGIN{printf "%.0f MiB", k / 1024}'; }
printf '%s × %s MiB (%s)\n' "$n" "$s" "$forma"
printf 'actualizadas: %s/%s\n' "$actualizadas" "$n"
printf 'tiempo: olvado %s s / mariadb -q --raw + md5sum %s s\n' "$(cat "$datos/olvado.s")" "$(cat "$datos/cliente.s")"
printf 'estación, memoria máxima: %s\n' "$(mib "$pico")"
printf 'servidor sobre el reposo: olvado +%s (cliente +%s)\n' \
  "$(mib $(($(cat "$datos/olvado.rss") - $(cat "$datos/olvado.reposo"))))" \
  "$(mib $(($(cat "$datos/cliente.rss") - $(cat "$datos/cliente.reposo"))))"
[[ -n ${OLVADO_BENCH_CONSERVAR:-} ]] || rm -rf "$datos"
((actualizadas == n)) || { echo "oficina.sh: no se actualizaron todas las estaciones" >&2; exit 1; }
