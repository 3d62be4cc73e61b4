#!/usr/bin/env bash
# Times the export of a bank of 128 programs whose files total 1 GiB, as a user runs it (the
# whole command: import of the bank's bank.txt, then the export), against `cp -r` of the same
# source folders onto the same disk: warm cache, a fresh destination and `sync` before every run
# (untimed), the two interleaved RUNS times (default 7). After removing the last destination the
# script waits PAUSE seconds (default 36): ext4 without a journal passes over inodes freed in the
# last 30 s when it makes files, which slows whichever run comes next by a quarter. Prints each pair and the median and
# minimum ratio, of wall time and of processor time; then the same export run again into the
# filled destination, which copies nothing.
# Usage: bench/export/run.sh [WORKDIR]   (BUILD_DIR chooses the build tree, default build-bench)
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib.sh
build="${BUILD_DIR:-build-bench}"
runs="${RUNS:-7}"
pause="${PAUSE:-36}"
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

fresh() { rm -rf "$dst"; sync; sleep "$pause"; mkdir -p "$dst"; }
copy() { cp -r "$src/Programs" "$src/Multisamples" "$src/Samples" "$dst/"; }
export_bank() { "$cli" bank --import-bank "$src/Programs/Bench/bank.txt" --export "$dst" --bank-name Out; }
cat "$src"/Samples/Bench/*.afs >/dev/null   # warm the cache

bench_interleave "$runs" copy export_bank fresh
[ -f "$dst/Programs/Out/Program 127.afp" ] || { echo "the export did not write the bank" >&2; exit 1; }
echo "exported: $(du -sh "$dst/Samples/Out" | cut -f1) of samples into Samples/Out"
again=$(bench_seconds export_bank)   # every copy compared, none made
echo "export again into the same volume: ${again% *} s wall, ${again#* } s cpu"
if [ -z "${1:-}" ]; then rm -rf "$work"; fi
