#!/usr/bin/env bash
# Installs, builds and runs every test: the unit tests, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of each fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

FUZZ_SECONDS="${VELMORANT_FUZZ_SECONDS:-20}"

echo "== unit tests"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j"$(nproc)"

echo "== unit tests under ASan + UBSan"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DVELMORANT_SANITIZE=ON -DVELMORANT_BUILD_FUZZERS=ON
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

echo "== fuzzers, ${FUZZ_SECONDS} s each"
for fuzzer in build-asan/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name="$(basename "$fuzzer")"
  corpus="$(mktemp -d)"
  seeds="fuzz/corpus/${name#fuzz_}"
  if [ -d "$seeds" ]; then cp -r "$seeds"/. "$corpus"/; fi
  echo "-- $name"
  "$fuzzer" -max_total_time="$FUZZ_SECONDS" -max_len=65536 -print_final_stats=0 "$corpus" 2>&1 | tail -n 3
  rm -rf "$corpus"
done

echo "== final unit test summary"
ctest --test-dir build -j"$(nproc)" 2>&1 | tail -n 3
