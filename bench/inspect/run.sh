#!/usr/bin/env bash
# Times `velmorant-cli inspect` of 128 programs needing 1 GiB of samples against a plain read
# loop over the same sample files with one reused buffer, both with a warm cache. The two run
# in turn, ROUNDS times, so a busy machine slows both alike; prints the median and the
# minimum of the per-round ratios. Usage: bench/inspect/run.sh [WORKDIR] [ROUNDS]
# VELMORANT_BENCH_BUILD names a tree already built with -DVELMORANT_BUILD_BENCHMARKS=ON.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib.sh
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

read_loop() { "$build"/bench/bench_read_loop "${samples[@]}"; }
inspect() { "$cli" inspect "$root"/Programs/Bench/*.afp; }
read_loop >/dev/null   # warm the cache
bench_interleave "$rounds" read_loop inspect
