#!/usr/bin/env bash
# Installs, builds and runs every test: the unit tests, the Windows build's tests and CLI under
# Wine, the packages, the unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, and
# a short run of each fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

FUZZ_SECONDS="${VELMORANT_FUZZ_SECONDS:-20}"

echo "== unit tests"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The Windows build under Wine, and the packages (README, "Windows" and "Install").
# VELMORANT_WINDOWS_CHECK=0 leaves them out of a quick local run.
if [ "${VELMORANT_WINDOWS_CHECK:-1}" = 1 ]; then
  echo "== Windows build: unit tests and a CLI session under Wine, files compared with Linux"
  start=$SECONDS
  bash scripts/windows-check.sh build
  echo "Windows stage: $((SECONDS - start)) s"

  echo "== packages: .deb and Windows .zip; the .deb's CLI run from a scratch root"
  start=$SECONDS
  bash scripts/package.sh
  echo "packages: $((SECONDS - start)) s"
fi

echo "== unit tests under ASan + UBSan"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DVELMORANT_SANITIZE=ON -DVELMORANT_BUILD_FUZZERS=ON
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

echo "== fuzzers, ${FUZZ_SECONDS} s each"
# Seeds for the loader: a two-byte program length, a demo program, then a multisample.
seeds_dir="$(mktemp -d)"
build/src/cli/velmorant-cli demo-volume "$seeds_dir/Volume" >/dev/null
mkdir -p "$seeds_dir/program_load" "$seeds_dir/bank_index"
n=0
for program in "$seeds_dir"/Volume/Programs/*/*.afp; do
  for multisample in "$seeds_dir"/Volume/Multisamples/*/*.afi; do
    n=$((n + 1))
    size=$(stat -c %s "$program")
    { printf "\\x$(printf %02x $((size >> 8)))\\x$(printf %02x $((size & 255)))"; cat "$program" "$multisample"; } \
      > "$seeds_dir/program_load/seed$n"
  done
done
for f in "$seeds_dir"/Volume/Programs/*/bank.txt; do cp "$f" "$seeds_dir/bank_index/$(basename "$(dirname "$f")").txt"; done

for fuzzer in build-asan/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name="$(basename "$fuzzer")"
  corpus="$(mktemp -d)"
  for seeds in "fuzz/corpus/${name#fuzz_}" "tests/data/regress/${name#fuzz_}" "$seeds_dir/${name#fuzz_}"; do
    if [ -d "$seeds" ]; then cp -r "$seeds"/. "$corpus"/; fi
  done
  echo "-- $name"
  log="$corpus.log"
  if ! "$fuzzer" -max_total_time="$FUZZ_SECONDS" -max_len=65536 "$corpus" >"$log" 2>&1; then
    tail -n 80 "$log"
    echo "fuzzer $name failed"
    exit 1
  fi
  grep -E "^(#[0-9]+|Done)" "$log" | tail -n 1
  rm -rf "$corpus" "$log"
done

rm -rf "$seeds_dir"

echo "== final unit test summary"
ctest --test-dir build -j"$(nproc)" 2>&1 | tail -n 3
