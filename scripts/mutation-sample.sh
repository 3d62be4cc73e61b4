#!/usr/bin/env bash
# Scores the tests against a fixed, seeded sample of small faults in src/: each fault is applied
# in a scratch copy of this checkout, rebuilt incrementally, tested and reverted. The caller's
# tree is never touched. Usage: scripts/mutation-sample.sh --help
set -euo pipefail

usage() {
  cat <<'EOF'
Usage: scripts/mutation-sample.sh [options]
  --seed N          sample seed (default 1); the same seed and src/ give the same faults
  --count N         number of faults (default 48)
  --tests-from DIR  run the tests of checkout DIR (its src/ must equal this one's)
  --jobs N          build and test jobs (default 2)
  --timeout S       limit for each test, in seconds (default 60)
  --report FILE     also write the outcome of every fault to FILE
  --work DIR        scratch folder (default /tmp/velmorant-mutation-<user>-<checkout>);
                    kept between runs so later runs rebuild only what changed
  --list            print the sample and stop
EOF
}

root="$(cd "$(dirname "$0")/.." && pwd)"
helper="$root/scripts/mutation_sample.py"
seed=1 count=48 tests_from="" jobs=2 timeout=60 report="" work="" list_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --seed) seed="$2"; shift 2 ;;
    --count) count="$2"; shift 2 ;;
    --tests-from) tests_from="$(cd "$2" && pwd)"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    --timeout) timeout="$2"; shift 2 ;;
    --report) report="$(realpath -m "$2")"; shift 2 ;;
    --work) work="$(realpath -m "$2")"; shift 2 ;;
    --list) list_only=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "mutation-sample: unknown option $1" >&2; usage >&2; exit 2 ;;
  esac
done
for n in "$seed" "$count" "$jobs" "$timeout"; do
  [[ "$n" =~ ^[0-9]+$ ]] || { echo "mutation-sample: not a number: $n" >&2; exit 2; }
done
[ "$count" -ge 1 ] || { echo "mutation-sample: --count must be at least 1" >&2; exit 2; }

if [ -n "$tests_from" ]; then
  [ -d "$tests_from/tests" ] || { echo "mutation-sample: $tests_from has no tests/ folder" >&2; exit 2; }
  # The faults are found by line in this checkout's src/; the other tests must build against it.
  if ! diff -rq "$root/src" "$tests_from/src" >/dev/null; then
    echo "mutation-sample: $tests_from/src differs from $root/src; the two checkouts must share src/" >&2
    diff -rq "$root/src" "$tests_from/src" >&2 || true
    exit 2
  fi
fi

work="${work:-/tmp/velmorant-mutation-$(id -un)-$(printf %s "$root" | cksum | cut -d' ' -f1)}"
mkdir -p "$work"
exec 9>"$work/lock"
flock -n 9 || { echo "mutation-sample: another run is using $work" >&2; exit 2; }

plan="$work/plan.json"
python3 "$helper" pick "$root" "$seed" "$count" "$plan" | tee "$work/sample.txt"
[ "$list_only" -eq 0 ] || exit 0

# The scratch tree: this checkout as it stands (uncommitted edits included), tests possibly from
# elsewhere.
tree="$work/tree" build="$work/build"
skip=(.git 'build*' bench)
if [ -n "$tests_from" ]; then
  python3 "$helper" sync "$root" "$tree" "${skip[@]}" tests
  python3 "$helper" sync "$tests_from/tests" "$tree/tests"
else
  python3 "$helper" sync "$root" "$tree" "${skip[@]}"
fi
main_tree="$(git -C "$root" worktree list --porcelain 2>/dev/null | sed -n '1s/^worktree //p')"
python3 "$helper" packages "$tree" "$root" ${tests_from:+"$tests_from"} ${main_tree:+"$main_tree"}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORANT_BUILD_GUI=OFF \
    -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g0" >"$work/configure.log" 2>&1 \
    || { tail -n 30 "$work/configure.log" >&2; exit 1; }
fi

stop_flag=()
if ctest --help 2>/dev/null | grep -q -- --stop-on-failure; then stop_flag=(--stop-on-failure); fi
run_tests() {
  ctest --test-dir "$build" -j"$jobs" --timeout "$timeout" "${stop_flag[@]}" "$@"
}

echo "== building and testing the unchanged tree in $tree"
start=$SECONDS
cmake --build "$build" -j"$jobs" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
if ! run_tests >"$work/baseline.log" 2>&1; then
  grep -E "Failed|\*\*\*" "$work/baseline.log" | head -n 20 >&2
  echo "mutation-sample: the tests fail without any fault; see $work/baseline.log" >&2
  exit 1
fi
echo "baseline: $(grep -Eo '[0-9]+ tests? failed out of [0-9]+' "$work/baseline.log" | sed 's/.* out of /tests: /'), $((SECONDS - start)) s"

current="" backup="$work/original"
revert() {
  if [ -n "$current" ]; then
    cp "$backup" "$tree/$current"   # a fresh time, so the next build recompiles it
    current=""
  fi
}
trap revert EXIT
trap 'revert; exit 130' INT TERM

total=$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))))' "$plan")
mapfile -t texts < <(python3 -c 'import json,sys; [print("%-9s %s" % (c["kind"], c["text"])) for c in json.load(open(sys.argv[1]))]' "$plan")
caught=0 compiled=0 survivors=() outcomes=()
mkdir -p "$work/logs"
echo "== $total faults (per-test limit ${timeout} s, ${jobs} jobs)"
for i in $(seq 1 "$total"); do
  start=$SECONDS
  file="$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))[int(sys.argv[2]) - 1]["file"])' "$plan" "$i")"
  cp -p "$tree/$file" "$backup"
  current="$file"
  python3 "$helper" apply "$tree" "$plan" "$i" >/dev/null
  log="$work/logs/$i.log"
  if ! cmake --build "$build" -j"$jobs" >"$log" 2>&1; then
    if grep -q "Error running test executable" "$log"; then
      outcome="caught"        # the test binary failed while listing its tests
    else
      outcome="not compiled"
    fi
  elif run_tests >>"$log" 2>&1; then
    outcome="SURVIVED"
  else
    outcome="caught"
  fi
  revert
  case "$outcome" in
    caught) caught=$((caught + 1)); compiled=$((compiled + 1)) ;;
    SURVIVED) compiled=$((compiled + 1)); survivors+=("${texts[$((i - 1))]}") ;;
  esac
  line="$(printf '%3d/%d  %-12s %4ss  %s' "$i" "$total" "$outcome" "$((SECONDS - start))" "${texts[$((i - 1))]}")"
  outcomes+=("$line")
  echo "$line"
done

summary="caught / compiled: $caught / $compiled (seed $seed, $total faults, $((total - compiled)) not compiled)"
{
  echo "== $summary"
  echo "tests from: ${tests_from:-$root}; src from: $root"
  if [ ${#survivors[@]} -gt 0 ]; then
    echo "survivors:"
    printf '  %s\n' "${survivors[@]}"
  fi
} | tee "$work/summary.txt"
if [ -n "$report" ]; then
  { printf '%s\n' "${outcomes[@]}"; cat "$work/summary.txt"; } >"$report"
  echo "report: $report"
fi
