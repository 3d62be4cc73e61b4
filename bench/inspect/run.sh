#!/usr/bin/env bash
# Times `velmorant-cli inspect` of 128 programs needing 1 GiB of samples against `cat`
# of the same sample files, both with a warm cache. Usage: bench/inspect/run.sh [WORKDIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DVELMORANT_BUILD_TESTS=OFF -DVELMORANT_BUILD_BENCHMARKS=ON
work="${1:-$(mktemp -d)}"
root="$work/Volume"
if [ ! -d "$root/Programs/Bench" ]; then
  build-bench/bench/bench_inspect_volume "$root" 128 2048   # 128 programs x 4 samples x 2 MiB = 1 GiB
fi
cli=build-bench/src/cli/velmorant-cli
samples=("$root"/Samples/Bench/*.afs)
echo "samples: ${#samples[@]} files, $(du -sh "$root/Samples" | cut -f1)"

best() {  # best wall time of 5 runs, in seconds
  local best=""
  for _ in 1 2 3 4 5; do
    local start end t
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
  done
  echo "$best"
}

cat "${samples[@]}" >/dev/null   # warm the cache
t_cat=$(best cat "${samples[@]}")
t_inspect=$(best "$cli" inspect "$root"/Programs/Bench/*.afp)
printf "cat:     %.3f s\ninspect: %.3f s\nratio:   %.2f\n" "$t_cat" "$t_inspect" "$(echo "$t_inspect / $t_cat" | bc -l)"
