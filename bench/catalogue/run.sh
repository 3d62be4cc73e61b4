#!/usr/bin/env bash
# Times `velmorant-cli catalogue --dynamic` on a volume of 100 banks of 128 programs against
# `cat` of all those program files to /dev/null. Both run warm (after one untimed run), five
# times each; the median is printed. The catalogue reads 16 bytes of each program file.
# Usage: bench/catalogue/run.sh [path/to/velmorant-cli]   (default: build/src/cli/velmorant-cli)
set -euo pipefail
cd "$(dirname "$0")/../.."
cli="$(realpath "${1:-build/src/cli/velmorant-cli}")"
[ -x "$cli" ] || { echo "no velmorant-cli at $cli; build first (scripts/build.sh build)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
volume="$work/Volume"
node bench/catalogue/make-volume.mjs "$volume" 100 128 "${VELMORANT_BENCH_PROGRAM_SIZE:-6144}"
find "$volume/Programs" -name '*.afp' -print0 > "$work/programs"
count="$(tr -cd '\0' < "$work/programs" | wc -c)"
bytes="$(du -sb "$volume/Programs" | cut -f1)"

median() { sort -n | sed -n 3p; }
seconds() {  # runs "$@" once and prints its wall time in seconds
  local start end
  start="$EPOCHREALTIME"
  "$@" > /dev/null
  end="$EPOCHREALTIME"
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", e - s }'
}
catalogue() { "$cli" catalogue --dynamic "$volume" "$work/page.htm"; }
cat_all() { xargs -0 cat < "$work/programs"; }

catalogue > /dev/null; cat_all > /dev/null  # warm the cache
catalogue_times="$(for _ in 1 2 3 4 5; do seconds catalogue; done)"
cat_times="$(for _ in 1 2 3 4 5; do seconds cat_all; done)"

printf 'volume: %s program files, %s bytes under Programs\n' "$count" "$bytes"
printf 'catalogue --dynamic  median %.3f s  (runs: %s)\n' "$(echo "$catalogue_times" | median)" "$(echo $catalogue_times)"
printf 'cat of every program median %.3f s  (runs: %s)\n' "$(echo "$cat_times" | median)" "$(echo $cat_times)"
printf 'page: %s bytes, %s rows\n' "$(wc -c < "$work/page.htm")" "$(grep -c '^<TR><TD>' "$work/page.htm")"
