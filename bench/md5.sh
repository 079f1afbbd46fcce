#!/usr/bin/env bash
# MD5 throughput and peak memory of DigestFileToHexStr against openssl and
# md5sum over the same 1 GiB file, in one run. Builds the native benchmark,
# makes the file (random bytes, kept in build/bench-data/ for later runs),
# reads it once to have it in the page cache, then runs each tool three times
# in turn and keeps each one's best time. Peak memory is the maximum resident
# set size that /usr/bin/time reports for the whole process.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

[[ -f build/linux/build.ninja ]] || cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target olvado_md5_bench >/dev/null
bench=build/linux/bench/olvado_md5_bench

datos=build/bench-data
archivo=$datos/md5-1GiB.bin
tamano=$((1024 * 1024 * 1024))
mkdir -p "$datos"
if [[ ! -f $archivo || $(stat -c %s "$archivo") -ne $tamano ]]; then
  echo "md5.sh: creando $archivo" >&2
  head -c $tamano /dev/urandom >"$archivo"
fi
cat "$archivo" >/dev/null

declare -A mejor memoria digest
nombres=(olvado openssl md5sum)
comando() {
  case $1 in
    olvado) echo "$bench --digerir $archivo" ;;
    openssl) echo "openssl dgst -md5 -r $archivo" ;;
    md5sum) echo "md5sum $archivo" ;;
  esac
}
medidas=$(mktemp)
trap 'rm -f "$medidas"' EXIT
for ronda in 1 2 3; do
  for n in "${nombres[@]}"; do
    salida=$(/usr/bin/time -f '%e %M' -o "$medidas" $(comando "$n"))
    read -r segundos kib <"$medidas"
    digest[$n]=$(echo "${salida:0:32}" | tr a-f A-F)
    if [[ -z ${mejor[$n]:-} ]] || awk -v a="$segundos" -v b="${mejor[$n]}" 'BEGIN{exit !(a<b)}'; then
      mejor[$n]=$segundos
    fi
    ((${memoria[$n]:-0} > kib)) || memoria[$n]=$kib
  done
done

echo "Archivo: $archivo ($tamano bytes), mejor de 3 ejecuciones, MB = 10^6 bytes"
printf '%-8s %10s %10s %14s  %s\n' herramienta segundos MB/s "memoria máx" digest
for n in "${nombres[@]}"; do
  mbs=$(awk -v t="${mejor[$n]}" -v b=$tamano 'BEGIN{printf "%.0f", b/t/1e6}')
  printf '%-8s %10s %10s %10s KiB  %s\n' "$n" "${mejor[$n]}" "$mbs" "${memoria[$n]}" "${digest[$n]}"
done
for n in openssl md5sum; do
  awk -v a="${mejor[$n]}" -v b="${mejor[olvado]}" -v n=$n 'BEGIN{printf "olvado / %s: %.2f veces su velocidad\n", n, a/b}'
done
if [[ ${digest[olvado]} != "${digest[openssl]}" || ${digest[olvado]} != "${digest[md5sum]}" ]]; then
  echo "md5.sh: los digests no coinciden" >&2
  exit 1
fi

echo
echo "Google Benchmark (DigestFileToHexStr sobre el mismo archivo; transformación en memoria; M/s = MiB/s):"
OLVADO_BENCH_MD5_ARCHIVO=$archivo "$bench" --benchmark_min_time=2 2>/dev/null
