#!/usr/bin/env bash
# The Linux registry stand-in on a large hive: one value read (open the key,
# read the value, close it) from an HKLM.reg of 1,000, 4,000 and 16,000 keys.
# Each read parses the whole file; a parse that grows faster than the file
# shows here as a time per key that grows with N.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

[[ -f build/linux/build.ninja ]] || cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux --target olvado_registro_bench >/dev/null
build/linux/bench/olvado_registro_bench --benchmark_min_time=1 "$@"
