#!/usr/bin/env bash
# A delta made by the publisher and applied by a workstation, on a 100 MiB
# pair (random bytes; 2 % of its 4 KiB blocks changed and 1 MiB inserted in
# the middle, kept in build/bench-data/ for later runs) or on the two files
# given: the delta's size, the seconds and the peak memory (the maximum
# resident set size, mapped files included) of making it at several levels
# and worker counts, then of applying the smallest in 1 MiB buffers.
#   bench/delta_zstd.sh [BASE DESTINO]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source "$root/bench/lib.sh"

[[ -f build/linux/build.ninja ]] || cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target olvado_delta_bench >/dev/null
bench=build/linux/bench/olvado_delta_bench

datos=build/bench-data
mkdir -p "$datos"
if (($# == 2)); then
  base=$1 destino=$2
else
  bench_par_100mib "$datos"
fi

medidas=$(mktemp)
bench_al_salir 'rm -f "$medidas" "$datos"/delta-*.zst'
for opcion in "3 2" "9 2" "19 2" "19 0"; do
  read -r nivel trabajadores <<<"$opcion"
  salida=$(/usr/bin/time -f '%M' -o "$medidas" "$bench" crear "$base" "$destino" "$nivel" "$trabajadores" \
             "$datos/delta-$nivel-$trabajadores.zst")
  echo "nivel $nivel, $trabajadores trabajadores: $salida, pico $(($(cat "$medidas") / 1024)) MiB"
done
menor=$(ls -S "$datos"/delta-*.zst | tail -n1)
salida=$(/usr/bin/time -f '%M' -o "$medidas" "$bench" aplicar "$base" "$menor" "$destino")
echo "$(basename "$menor"): $salida, pico $(($(cat "$medidas") / 1024)) MiB"
