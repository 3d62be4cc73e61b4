#!/usr/bin/env bash
# Times `velmorant-cli inspect` of 128 programs needing 1 GiB of samples against a plain read
# loop over the same sample files with one reused buffer, both with a warm cache. The two run
# in turn, ROUNDS times, so a busy machine slows both alike; prints the median and the
# minimum of the per-round ratios. Usage: bench/inspect/run.sh [WORKDIR] [ROUNDS]
# VELMORANT_BENCH_BUILD names a tree already built with -DVELMORANT_BUILD_BENCHMARKS=ON.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${VELMORANT_BENCH_BUILD:-build-bench}"
if [ -z "${VELMORANT_BENCH_BUILD:-}" ]; then
  bash scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORANT_BUILD_TESTS=OFF -DVELMORANT_BUILD_BENCHMARKS=ON
fi
work="${1:-$(mktemp -d)}"
rounds="${2:-7}"
root="$work/Volume"
if [ ! -d "$root/Programs/Bench" ]; then
  "$build"/bench/bench_inspect_volume "$root" 128 2048   # 128 programs x 4 samples x 2 MiB = 1 GiB
fi
cli="$build"/src/cli/velmorant-cli
samples=("$root"/Samples/Bench/*.afs)
echo "samples: ${#samples[@]} files, $(du -sh "$root/Samples" | cut -f1)"

seconds() {  # wall time of one run
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

"$build"/bench/bench_read_loop "${samples[@]}" >/dev/null   # warm the cache
ratios=()
for ((r = 1; r <= rounds; r++)); do
  t_read=$(seconds "$build"/bench/bench_read_loop "${samples[@]}")
  t_inspect=$(seconds "$cli" inspect "$root"/Programs/Bench/*.afp)
  ratio=$(echo "$t_inspect / $t_read" | bc -l)
  ratios+=("$ratio")
  printf "round %d: read loop %.3f s, inspect %.3f s, ratio %.3f\n" "$r" "$t_read" "$t_inspect" "$ratio"
done
printf "%s\n" "${ratios[@]}" | sort -g | awk '{ v[NR] = $1 } END {
  m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
  printf "ratio: median %.3f, minimum %.3f (%d rounds)\n", m, v[1], NR }'
