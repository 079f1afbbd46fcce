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

[[ -f build/linux/build.ninja ]] || cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target olvado_delta_bench >/dev/null
bench=build/linux/bench/olvado_delta_bench

datos=build/bench-data
mkdir -p "$datos"
if (($# == 2)); then
  base=$1 destino=$2
else
  base=$datos/delta-base.bin destino=$datos/delta-destino.bin
  if [[ ! -f $base || ! -f $destino ]]; then
    echo "delta_zstd.sh: creando el par de 100 MiB en $datos" >&2
    head -c $((100 << 20)) /dev/urandom >"$base"
    cp "$base" "$destino"
    bloques=$((100 << 20 >> 12))
    for ((i = 0; i < bloques / 50; i++)); do
      dd if=/dev/urandom of="$destino" bs=4096 count=1 seek=$(((RANDOM * 32768 + RANDOM) % bloques)) \
         conv=notrunc status=none 2>/dev/null || true
    done
    { head -c $((50 << 20)) "$destino"; head -c $((1 << 20)) /dev/urandom; tail -c +$(((50 << 20) + 1)) "$destino"; } \
      >"$destino.tmp" && mv "$destino.tmp" "$destino"
  fi
fi

medidas=$(mktemp)
trap 'rm -f "$medidas" "$datos"/delta-*.zst' EXIT
for opcion in "3 2" "9 2" "19 2" "19 0"; do
  read -r nivel trabajadores <<<"$opcion"
  salida=$(/usr/bin/time -f '%M' -o "$medidas" "$bench" crear "$base" "$destino" "$nivel" "$trabajadores" \
             "$datos/delta-$nivel-$trabajadores.zst")
  echo "nivel $nivel, $trabajadores trabajadores: $salida, pico $(($(cat "$medidas") / 1024)) MiB"
done
menor=$(ls -S "$datos"/delta-*.zst | tail -n1)
salida=$(/usr/bin/time -f '%M' -o "$medidas" "$bench" aplicar "$base" "$menor" "$destino")
echo "$(basename "$menor"): $salida, pico $(($(cat "$medidas") / 1024)) MiB"
