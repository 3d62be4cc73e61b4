#!/usr/bin/env bash
# Times `velmorant-cli check` of a volume of 100 banks x 128 programs whose samples total
# 1.05 GiB against `cat` of every sample file, warm cache, the two interleaved RUNS times
# (default 7); prints each pair and the median and minimum ratio check / cat, of wall time and of
# processor time (user + system, which a shared machine's load inflates least).
# Usage: bench/check/run.sh [VOLUME_DIR]   (kept between runs; default /tmp/velmorant-check-bench)
# BUILD_DIR chooses the build tree (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/../.."
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

seconds() {  # "wall cpu" seconds of one run of the command, its output discarded
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 ) || true
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$t"
}
"$cli" check "$volume" | tail -n 1
pairs=""
for i in $(seq "$runs"); do
  c=$(seconds sh -c 'xargs -0 cat <"$0" >/dev/null' "$list")
  k=$(seconds "$cli" check "$volume")
  pairs+="$c $k"$'\n'
  awk -v i="$i" '{ printf "run %d: cat %.3f s (cpu %.3f), check %.3f s (cpu %.3f), ratio %.2f (cpu %.2f)\n",
    i, $1, $2, $3, $4, $3 / $1, $4 / $2 }' <<<"$c $k"
done
summary() {  # label, columns of check and cat
  awk -v k="$2" -v c="$3" '{ print $k / $c }' <<<"${pairs%$'\n'}" | sort -g | awk -v l="$1" '{ r[NR] = $1 } END {
    m = (NR % 2) ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
    printf "check / cat, %s: median %.2f, minimum %.2f (%d interleaved pairs)\n", l, m, r[1], NR }'
}
summary wall 3 1
summary cpu 4 2
