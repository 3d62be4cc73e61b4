#!/usr/bin/env bash
# Times `velmorant-cli check` of a volume of 100 banks x 128 programs whose samples total
# 1.05 GiB against `cat` of every sample file, warm cache, the two interleaved RUNS times
# (default 7); prints each pair and the median and minimum ratio check / cat, of wall time and of
# processor time.
# Usage: bench/check/run.sh [VOLUME_DIR]   (kept between runs; default /tmp/velmorant-check-bench)
# BUILD_DIR chooses the build tree (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib.sh
build="${BUILD_DIR:-build-bench}"
runs="${RUNS:-7}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORANT_BUILD_BENCHMARKS=ON -DVELMORANT_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target velmorant-cli bench_check_volume >/dev/null
cli="$PWD/$build/src/cli/velmorant-cli"
volume="${1:-/tmp/velmorant-check-bench}/Volume"
if [ ! -f "$volume/Programs/bank.txt" ]; then
  "$build/bench/bench_check_volume" "$volume" 100 84   # 12,800 samples of 84 KiB
fi
list="$(dirname "$volume")/samples.list"
find "$volume/Samples" -name '*.afs' -print0 >"$list"
echo "volume: $(find "$volume" -type f | wc -l) files, samples $(du -sh "$volume/Samples" | cut -f1); load $(cut -d' ' -f1-3 /proc/loadavg)"
xargs -0 cat <"$list" >/dev/null   # warm the cache

cat_samples() { xargs -0 cat <"$list" >/dev/null; }
check() { "$cli" check "$volume"; }
"$cli" check "$volume" | tail -n 1
bench_interleave "$runs" cat_samples check
