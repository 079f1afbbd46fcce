#!/usr/bin/env bash
# A new version that costs what changed: N workstations with 1.0.66
# installed, and 1.0.66's package at their package path as the run that
# installed it left it, update at once to 1.0.70, published with deltas
# (publicar's default) and without (--deltas 0), against the private MariaDB
# of scripts/lib/mariadb.sh. Two pairs: our x86 MSI at two commits (each
# built once in a git worktree under build/bench-delta and kept there) and
# the 100 MiB pair (2 % of its 4 KiB blocks changed, 1 MiB inserted in the
# middle; bench/lib.sh). Each package is published with a two-line shell
# header that exits at once, so a workstation can start it on Linux.
#
# Prints, per pair and mode: the delta that publicar stored, the bytes that
# the server sent per workstation (its Bytes_sent before and after, over N:
# measured apart from the updater) and their share of the full package, the
# wall time of the N runs and the largest peak resident memory among them
# (/usr/bin/time, mapped files included); beside them the goals: the 100 MiB
# pair at most 4 % and a peak under 32 MiB plus the base, the MSI at most
# 10 % of today's package (the MSI as wixl makes it, its cabinet compressed).
# When the updater has --preparar: after it, the start-time run of the N
# against their up-to-date run (best of three each, as the N starting the
# package alone), goal within 1.5x that plus the installer's start.
#
#   bench/delta.sh [N]               (default 4)
#   OLVADO_BENCH_ANTERIOR=COMMIT     the older MSI's commit (default 793c956)
#   OLVADO_BENCH_POSTERIOR=COMMIT    the newer MSI's commit (default HEAD; a
#                                    commit, so changes not committed are not in it)
#   OLVADO_BENCH_BIN=DIR             the olvado-updater and olvado-admin to measure
#   OLVADO_BENCH_PUBLICAR=...        more options for both publications, e.g. "--comprimir"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source "$root/bench/lib.sh"
n=${1:-4}
[[ $n =~ ^[1-9][0-9]*$ ]] || { echo "uso: bench/delta.sh [N]" >&2; exit 2; }

bench_programas olvado_updater olvado_admin
cache=$root/build/bench-delta

# msi_de COMMIT: the x86 MSI of that commit (stored cabinet, as the build
# ships it) in $cache/msi/SHA.msi, and the same package as wixl makes it
# (compressed cabinet) in SHA-wixl.msi; built in one worktree that moves from
# commit to commit, so a second commit recompiles only what changed.
msi_de() {
  local sha arbol=$cache/arbol version
  sha=$(git rev-parse --verify -q "$1^{commit}") || { echo "delta.sh: no existe el commit $1" >&2; return 1; }
  msi=$cache/msi/$sha.msi wixl_msi=$cache/msi/$sha-wixl.msi
  [[ -f $msi && -f $wixl_msi ]] && return
  git cat-file -e "$sha:scripts/lib/msi-cabina" 2>/dev/null ||
    { echo "delta.sh: $1 no guarda el gabinete del MSI sin comprimir (scripts/lib/msi-cabina)" >&2; return 1; }
  if [[ ! -e $arbol/.git ]]; then
    rm -rf "$arbol"
    git worktree prune
    git worktree add -q --detach "$arbol" "$sha"
  fi
  git -C "$arbol" checkout -q --detach "$sha"
  # The Windows builds' libzstd, where the commit needs it: this checkout's.
  mkdir -p "$arbol/build" "$root/build/terceros"
  [[ -e $arbol/build/terceros ]] || ln -s "$root/build/terceros" "$arbol/build/terceros"
  echo "delta.sh: compilando el MSI x86 de $(git log -1 --format='%h %s' "$sha" | cut -c1-70)" >&2
  (cd "$arbol" && scripts/build win32 && cmake --build build/win32 --target paquete_msi) >"$cache/compilar.log" 2>&1 ||
    { tail -20 "$cache/compilar.log" >&2; return 1; }
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$arbol/build/win32/CMakeCache.txt")
  mkdir -p "$cache/msi"
  (cd "$arbol/build/win32/paquetes/msi" && wixl -a x86 -D Version="$version" -o "$wixl_msi.tmp" OlvadoUpdater.wxs)
  cp "$arbol/build/win32/OlvadoUpdater-$version-x86.msi" "$msi.tmp"
  mv "$wixl_msi.tmp" "$wixl_msi" && mv "$msi.tmp" "$msi"
}
anterior=${OLVADO_BENCH_ANTERIOR:-793c956} posterior=${OLVADO_BENCH_POSTERIOR:-HEAD}
msi_de "$anterior"
msi_anterior=$msi
msi_de "$posterior"
msi_posterior=$msi hoy=$(stat -c %s "$wixl_msi")
bench_par_100mib "$root/build/bench-data"

datos=$root/build/bench-delta/datos
rm -rf "$datos"
mkdir -p "$datos"
[[ -n ${OLVADO_BENCH_CONSERVAR:-} ]] || bench_al_salir 'rm -rf "$datos"'
# A package a workstation can start on Linux: a shell header that exits.
empaquetar() { { printf '#!/bin/sh\nexit 0\n'; cat "$1"; } >"$2" && chmod +x "$2"; }
empaquetar "$msi_anterior" "$datos/msi-66"
empaquetar "$msi_posterior" "$datos/msi-70"
empaquetar "$base" "$datos/100mib-66"
empaquetar "$destino" "$datos/100mib-70"
for v in 1.0.66 1.0.70; do "$root/scripts/lib/demo/hacer-paquete" programa "$v" "$datos/Olvado-$v.exe"; done

unset XDG_DOCUMENTS_DIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR
bench_servidor mariadb-delta
enviados() { "${maria[@]}" -N -e "SHOW GLOBAL STATUS LIKE 'Bytes_sent'" | awk '{print $2}'; }
publicar() { # publicar PAQUETE VERSION [OPCION...]
  local p=$1 v=$2
  shift 2
  # shellcheck disable=SC2086 # more options, word by word
  OLVADO_ROOT=$datos/admin HOME=$datos/admin/home "$bin/olvado-admin" publicar "$p" --version "$v" \
    "$@" ${OLVADO_BENCH_PUBLICAR:-} >/dev/null 2>"$datos/publicar.txt" || { cat "$datos/publicar.txt" >&2; return 1; }
}

# escenario PAR [OPCION...]: an empty database, 1.0.66 published, N
# workstations that installed it, then 1.0.70 published with the options.
escenario() {
  local par=$1 i
  shift
  "${maria[@]}" -e "DROP DATABASE IF EXISTS olvado_test; CREATE DATABASE olvado_test"
  rm -rf "$datos/admin" "$datos"/e*
  bench_estacion "$datos/admin" "$datos/Olvado-1.0.66.exe"
  publicar "$datos/$par-66" 1.0.66
  for i in $(seq 1 "$n"); do
    bench_estacion "$datos/e$i" "$datos/Olvado-1.0.66.exe"
    cp "$datos/$par-66" "$(bench_paquete_estacion "$datos/e$i")"
  done
  publicar "$datos/$par-70" 1.0.70 "$@"
  delta=$("${maria[@]}" -N -e "SELECT COALESCE(SUM(LENGTH(Datos)), 0) FROM BinariosActDeltas" olvado_test 2>/dev/null ||
    echo 0)
}
estacion() { bench_actualizador "$datos/e$I" "$@"; }
# medir [ARG...]: the N workstations at once; sets $segundos, $por_estacion
# (bytes sent by the server over N), $pico (KiB) and $actualizadas.
medir() {
  local antes i r
  antes=$(enviados)
  segundos=$(bench_tormenta estacion "$@")
  por_estacion=$((($(enviados) - antes) / n))
  pico=0 actualizadas=0
  for i in $(seq 1 "$n"); do
    r=$(cat "$datos/e$i/rss" 2>/dev/null || echo 0)
    ((r > pico)) && pico=$r
    bench_actualizada "$datos/e$i" && actualizadas=$((actualizadas + 1))
  done
  return 0
}

mb() { awk -v b="$1" 'BEGIN{printf "%.2f MB", b / 1e6}'; }
pct() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.1f %%", 100 * a / b}'; }
printf 'MSI x86 %s → %s: %s → %s (gabinete almacenado); hoy, como lo hace wixl (comprimido): %s\n' \
  "$(git rev-parse --short "$anterior")" "$(git rev-parse --short "$posterior")" \
  "$(mb "$(stat -c %s "$msi_anterior")")" "$(mb "$(stat -c %s "$msi_posterior")")" "$(mb "$hoy")"
printf 'par de 100 MiB: %s → %s\n' "$(mb "$(stat -c %s "$base")")" "$(mb "$(stat -c %s "$destino")")"
printf '%s estaciones a la vez, 1.0.66 → 1.0.70\n\n' "$n"
# fila ANCHO TEXTO ... último: columns padded by characters, not bytes.
fila() {
  local linea="" ancho texto
  while (($# > 1)); do
    ancho=$1 texto=$2
    shift 2
    linea+=$texto$(printf '%*s' $((ancho - $(printf '%s' "$texto" | LC_ALL=C.UTF-8 wc -m))) '')
  done
  echo "$linea$1"
}
fila 8 par 8 deltas 20 "delta guardado" 22 "leído por estación" 9 tiempo 9 pico 13 arrancaron objetivo
fallos=0
for par in msi 100mib; do
  completo=$(stat -c %s "$datos/$par-70")
  for modo in con sin; do
    opciones=()
    [[ $modo == sin ]] && opciones=(--deltas 0)
    escenario "$par" "${opciones[@]}"
    medir
    objetivo=—
    if [[ $modo == con && $par == 100mib ]]; then
      tope=$((32 * 1024 + $(stat -c %s "$datos/$par-66") / 1024))
      cumple=no
      ((por_estacion * 100 <= completo * 4 && pico < tope)) && cumple=sí
      objetivo="≤ 4 % y pico < 32 MiB + base = $((tope / 1024)) MiB: $cumple"
    elif [[ $modo == con ]]; then
      cumple=no
      ((por_estacion * 10 <= hoy)) && cumple=sí
      objetivo="≤ 10 % de hoy ($(mb $((hoy / 10)))): $(pct "$por_estacion" "$hoy") de hoy, $cumple"
    fi
    ((actualizadas == n)) || fallos=1
    fila 8 "$par" 8 "$modo" \
      20 "$( ((delta > 0)) && echo "$(mb "$delta") ($(pct "$delta" "$completo"))" || echo —)" \
      22 "$(mb "$por_estacion") ($(pct "$por_estacion" "$completo"))" 9 "$segundos s" 9 "$((pico / 1024)) MiB" \
      13 "$actualizadas/$n" "$objetivo"
  done
done

# The package staged before the morning: the start-time run finds it.
echo
if ! grep -aq -- '--preparar' "$bin/olvado-updater"; then
  echo "--preparar: este olvado-updater no lo tiene; se omite"
else
  menor() { # menor VARIABLE SEGUNDOS: keeps the smaller in VARIABLE
    if [[ -z ${!1} ]] || awk -v a="$2" -v b="${!1}" 'BEGIN{exit !(a < b)}'; then printf -v "$1" '%s' "$2"; fi
  }
  instalador() { "$datos/$par-70" /SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP- >/dev/null 2>&1 || true; }
  fila 8 par 22 "--preparar" 22 "arranque tras él" 10 "al día" 12 instalador objetivo
  for par in msi 100mib; do
    escenario "$par"
    medir --preparar
    preparar="$segundos s, $(mb "$por_estacion")"
    # Best of three each: the package a start-time run leaves at the package
    # path is the staged one again for the next.
    arranque="" arranque_leido=0 arranque_bien=$n al_dia="" inicio=""
    for vez in 1 2 3; do
      medir
      menor arranque "$segundos"
      ((por_estacion > arranque_leido)) && arranque_leido=$por_estacion
      ((actualizadas < arranque_bien)) && arranque_bien=$actualizadas
    done
    for i in $(seq 1 "$n"); do cp "$datos/Olvado-1.0.70.exe" "$datos/e$i/opt/Olvado/Olvado.exe"; done
    for vez in 1 2 3; do
      medir
      menor al_dia "$segundos"
      menor inicio "$(bench_tormenta instalador)"
    done
    cumple=no
    awk -v a="$arranque" -v d="$al_dia" -v i="$inicio" 'BEGIN{exit !(a <= 1.5 * d + i)}' && cumple=sí
    ((arranque_bien == n)) || fallos=1
    fila 8 "$par" 22 "$preparar" 22 "$arranque s, $(mb "$arranque_leido")" 10 "$al_dia s" 12 "$inicio s" \
      "≤ 1.5 × al día + instalador: $cumple ($arranque_bien/$n arrancaron)"
  done
fi
((fallos == 0)) || { echo "delta.sh: no todas las estaciones arrancaron el paquete" >&2; exit 1; }
