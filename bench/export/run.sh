#!/usr/bin/env bash
# Times exporting a bank of 128 programs whose files total 1 GiB against `cp -r` of the same
# source folders onto the same disk: warm cache, fresh destination and `sync` before every run,
# best of RUNS runs (default 5), wall clock and processor time (user + system).
# Usage: bench/export/run.sh [WORKDIR]   (BUILD_DIR chooses the build tree, default build-bench)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${BUILD_DIR:-build-bench}"
runs="${RUNS:-5}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORANT_BUILD_TESTS=OFF -DVELMORANT_BUILD_BENCHMARKS=ON \
  -DVELMORANT_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target velmorant-cli bench_export_volume >/dev/null
cli="$PWD/$build/src/cli/velmorant-cli"
work="${1:-$(mktemp -d)}"
src="$work/Volume"
dst="$work/Dest"
if [ ! -f "$src/Programs/Bench/bank.txt" ]; then
  "$build/bench/bench_export_volume" "$src" 128 2048   # 128 x 2 multisamples x 2 samples x 2 MiB = 1 GiB
fi
echo "source: $(find "$src" -type f | wc -l) files, $(du -sh "$src" | cut -f1), on $(df -T "$work" | awk 'NR==2 {print $2}'); load $(cut -d' ' -f1-3 /proc/loadavg)"

fresh() { rm -rf "$dst"; mkdir -p "$dst"; sync; }
# Prints "wall cpu" in seconds for one run of the command.
measure() {
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  awk '{printf "%.3f %.3f\n", $1, $2 + $3}' <<<"$t"
}
best() { grep -v '^$' | sort -g -k"$1" | head -n 1 | cut -d' ' -f"$1"; }

import=(bank --import-bank "$src/Programs/Bench/bank.txt")
cat "$src"/Samples/Bench/*.afs >/dev/null   # warm the cache

cp_runs=""; full_runs=""; import_runs=""
for _ in $(seq "$runs"); do
  fresh; cp_runs+="$(measure cp -r "$src/Programs" "$src/Multisamples" "$src/Samples" "$dst/")"$'\n'
  fresh; full_runs+="$(measure "$cli" "${import[@]}" --export "$dst" --bank-name Out)"$'\n'
  import_runs+="$(measure "$cli" "${import[@]}")"$'\n'
done
[ -f "$dst/Programs/Out/Program 127.afp" ] || { echo "the export did not write the bank" >&2; exit 1; }
copied=$(du -sh "$dst/Samples/Out" | cut -f1)
again=$(measure "$cli" "${import[@]}" --export "$dst" --bank-name Out)   # every sample compared, none copied

report() {  # label, column (1 wall, 2 cpu)
  local cp full imp
  cp=$(best "$2" <<<"$cp_runs"); full=$(best "$2" <<<"$full_runs"); imp=$(best "$2" <<<"$import_runs")
  awk -v l="$1" -v cp="$cp" -v f="$full" -v i="$imp" 'BEGIN {
    printf "%-5s cp -r %.3f s | import + export %.3f s | import alone %.3f s | export %.3f s | export / cp -r %.2f | (import + export) / cp -r %.2f\n",
      l, cp, f, i, f - i, (f - i) / cp, f / cp }'
}
echo "exported: $copied of samples into Samples/Out"
report wall 1
report cpu 2
echo "export again into the same volume (import included): $(cut -d' ' -f1 <<<"$again") s wall"
if [ -z "${1:-}" ]; then rm -rf "$work"; fi
