#!/usr/bin/env bash
# Runs every fuzz harness for a given time or number of executions, whichever ends first, under
# AddressSanitizer and UndefinedBehaviorSanitizer, from its seeds (fuzz/corpus/<name>, and the
# kept findings in tests/data/regress/<name>), and prints per harness the executions, the coverage
# reached and the findings (inputs that crashed, leaked, timed out or ran out of memory).
# Usage: scripts/fuzz-long.sh [--seconds S] [--runs N] [--work DIR] [--build DIR] [NAME...]
# Defaults: 3600 s, 10,000,000 executions, every harness. Exit status 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=3600
runs=10000000
work=""
build=build-fuzz
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) names+=("$1"); shift ;;
  esac
done
work="${work:-$(mktemp -d)}"
mkdir -p "$work"

bash scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVELMORANT_SANITIZE=ON -DVELMORANT_BUILD_FUZZERS=ON -DVELMORANT_BUILD_GUI=OFF -DVELMORANT_BUILD_TESTS=OFF >/dev/null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

if [ ${#names[@]} -eq 0 ]; then
  for fuzzer in "$build"/fuzz/fuzz_*; do names+=("$(basename "$fuzzer")"); done
  names=("${names[@]#fuzz_}")
fi

printf "%-16s %12s %8s %8s %9s  %s\n" harness executions seconds cov features findings
found=0
for name in "${names[@]}"; do
  fuzzer="$build/fuzz/fuzz_$name"
  [ -x "$fuzzer" ] || { echo "no harness $name" >&2; exit 2; }
  corpus="$work/$name/corpus"
  artifacts="$work/$name/findings"
  mkdir -p "$corpus" "$artifacts"
  for seeds in "fuzz/corpus/$name" "tests/data/regress/$name"; do
    if [ -d "$seeds" ]; then cp -r "$seeds"/. "$corpus"/; fi
  done
  log="$work/$name/log"
  start=$(date +%s)
  # A finding stops the harness; its input is kept under findings/ and the log says why.
  "$fuzzer" -max_total_time="$seconds" -runs="$runs" -max_len=65536 -timeout=30 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" >"$log" 2>&1 || true
  elapsed=$(( $(date +%s) - start ))
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  last=$(grep -E "^#[0-9]+" "$log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  findings=$(find "$artifacts" -type f | wc -l)
  found=$((found + findings))
  printf "%-16s %12s %8s %8s %9s  %s\n" "$name" "${executions:-?}" "$elapsed" "${cov:-?}" "${ft:-?}" "$findings"
  if [ "$findings" -gt 0 ]; then
    find "$artifacts" -type f -printf "  %p\n"
    grep -m 3 -E "ERROR|runtime error|SUMMARY" "$log" | sed 's/^/  /' || true
  fi
done
echo "work folder: $work"
[ "$found" -eq 0 ]
