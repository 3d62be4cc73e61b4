#!/usr/bin/env bash
# The Windows build, checked under Wine: cross-compiles the library, the CLI and the unit tests
# (preset windows-cross), runs the tests, then runs the same CLI session with the Linux CLI and
# the Windows CLI and requires every file they write, and what inspect prints, to be the same
# byte for byte (catalogue pages apart from their date line).
# Usage: windows-check.sh LINUX_BUILD_DIR   (a built Linux tree, for its velmorant-cli)
# KEEP_WORK=1 keeps the two sessions' folders (printed at the end) for a look.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
linux_cli="$root/${1:?usage: windows-check.sh LINUX_BUILD_DIR}/src/cli/velmorant-cli"
cross="$root/build-windows-cross"
jobs="$(nproc)"
step=$SECONDS
took() { echo "   ($(($SECONDS - step)) s)"; step=$SECONDS; }

work="$(mktemp -d)"
export WINEPREFIX="$work/wineprefix"
wineserver=""
for candidate in /usr/lib/wine/wineserver64 "$(command -v wineserver || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then wineserver="$candidate"; break; fi
done
cleanup() {
  if [ -n "$wineserver" ]; then "$wineserver" -k 2>/dev/null || true; fi
  if [ -n "${KEEP_WORK:-}" ]; then rm -rf "$WINEPREFIX"; echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

echo "-- cross build: library, CLI and unit tests"
cmake --preset windows-cross >/dev/null
if ! cmake --build --preset windows-cross -j"$jobs" >"$work/build.log" 2>&1; then
  tail -n 100 "$work/build.log"
  exit 1
fi
took

# One Wine server stays up for the whole stage, and the prefix is made once: each program then
# starts in a fraction of a second instead of paying for Wine's start-up. Wine's services,
# started here, outlive the command and keep its output open: it goes to /dev/null, never to
# a pipe that someone waits on.
mkdir -p "$WINEPREFIX"
if [ -n "$wineserver" ]; then "$wineserver" -p; fi
scripts/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true

echo "-- unit tests under Wine"
if ! ctest --preset windows-cross -j"$jobs" --output-on-failure >"$work/ctest.log" 2>&1; then
  cat "$work/ctest.log"
  exit 1
fi
tail -n 3 "$work/ctest.log"
took

echo "-- CLI session: Linux and Windows write the same files"
# A 16-bit mono 44.1 kHz WAV file of a square wave whose period is P frames, N frames rounded
# down to whole periods.
write_wav() {
  local file="$1" period="$3" frames=$(($2 / $3 * $3)) bytes i
  le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
  bytes=$((frames * 2))
  {
    printf 'RIFF'; le32 $((36 + bytes)); printf 'WAVEfmt '; le32 16
    printf '\x01\x00\x01\x00'; le32 44100; le32 88200; printf '\x02\x00\x10\x00'
    printf 'data'; le32 "$bytes"
    for ((i = 0; i < frames / period; i++)); do
      printf '%*s' $((period / 2)) '' | sed 's/ /\x00\x20/g'
      printf '%*s' $((period / 2)) '' | sed 's/ /\x00\xe0/g'
    done
  } > "$file"
}

session() {  # session DIR CLI...: the same commands in DIR, each CLI given paths in its own spelling
  local dir="$1"; shift
  local windows=0; if [ "$1" != "$linux_cli" ]; then windows=1; fi
  # Relative paths with the system's separator; on Windows the export and the catalogue go to
  # absolute paths with a drive letter (Wine's Z: is the Unix root).
  native() { if ((windows)); then printf '%s' "${1//\//\\}"; else printf '%s' "$1"; fi; }
  absolute() { if ((windows)); then printf 'Z:%s' "${1//\//\\}"; else printf '%s' "$1"; fi; }
  mkdir -p "$dir/Built"
  write_wav "$dir/low.wav" 4410 100
  write_wav "$dir/mid.wav" 4410 50
  write_wav "$dir/high.wav" 2205 20
  (
    cd "$dir"
    "$@" demo-volume Volume >/dev/null
    local programs=() f
    for f in Volume/Programs/*/*.afp; do programs+=("$(native "$f")"); done
    "$@" inspect "${programs[@]}" >inspect.out 2>&1 || echo "inspect: exit $?" >>inspect.out
    # Names outside ASCII: the program renamed "Café" is stored as 0xE9 in its bank.txt and as
    # UTF-8 (Linux) or a wide name (Windows) on disk, in a bank folder named "Bänke".
    # The demo bank holds a program whose multisample is missing: the export skips it and says
    # so in its exit status, which must be the same on both.
    local status=0
    "$@" bank --import-bank "$(native Volume/Programs/Bank1/bank.txt)" --rename "A1=Café" \
      --export "$(absolute "$dir/Volume")" --bank-name Bänke >/dev/null 2>&1 || status=$?
    echo "bank export: exit $status" >>inspect.out
    # The new bank joins the volume's list (in the instrument's text: 0xE4), so the catalogues show it.
    perl -pi -e 's/(\d+)/$1 + 1/e if $. == 1; $_ .= "B\xe4nke\r\n" if eof' Volume/Programs/bank.txt
    "$@" catalogue Volume "$(absolute "$dir/catalogue.htm")" >/dev/null
    "$@" catalogue --dynamic Volume "$(native Built/dynamic.htm)" >/dev/null
    "$@" convert --root-key 60 mid.wav "$(native Built/Mid.afs)" >/dev/null
    "$@" convert --root-key 62 high.wav "$(native "Built/Flügel ☃.afs")" >/dev/null
    "$@" multisample --out "$(native Built/Keys.afp)" --auto-map low.wav mid.wav high.wav >/dev/null 2>&1
    "$@" drums --layer 31=low.wav@90 --layer 31=mid.wav --layer 40=high.wav \
      --save-kit "$(native Built/kit.fdk)" --out "$(native Built/Kit.afp)" >/dev/null 2>&1
    rm -f ./*.wav
  )
}
session "$work/linux" "$linux_cli"
session "$work/windows" "$root/scripts/wine-run.sh" "$cross/src/cli/velmorant-cli.exe"

# What differs by nature, put in one spelling: the catalogue pages' date line; in what inspect
# prints and in the export's manifest (which names its source files), the session's folder
# (Z:\... on Windows) and the separators; in what inspect prints, the CR that the Windows console
# adds before each line feed (the logs' own CR LF stay) and runs of blanks (the dependency
# table's columns are as wide as its longest path).
for dir in "$work/linux" "$work/windows"; do
  for page in "$dir"/*.htm "$dir"/Built/*.htm; do
    sed -i 's|<H2>Velmorant - [^<]*</H2>|<H2>Velmorant - DATE</H2>|' "$page"
  done
done
windows_folder="Z:${work//\//\\}\\windows"
FOLDER="$work/linux" perl -pi -e 's/\Q$ENV{FOLDER}\E//g; tr/ //s' "$work/linux/inspect.out"
FOLDER="$windows_folder" perl -pi -e 's/\r$//; s/\Q$ENV{FOLDER}\E//g; tr{\\}{/}; tr/ //s' "$work/windows/inspect.out"
find "$work/linux" -name "*.export.json" -exec env FOLDER="$work/linux" perl -pi -e 's/\Q$ENV{FOLDER}\E//g' {} +
find "$work/windows" -name "*.export.json" -exec env FOLDER="${windows_folder//\\/\\\\}" \
  perl -pi -e 's/\Q$ENV{FOLDER}\E//g; s{\\\\}{/}g' {} +
if ! diff -r "$work/linux" "$work/windows"; then
  echo "the Windows CLI wrote different files"
  exit 1
fi
for expected in "Volume/Programs/Bänke/Café.afp" "Built/Flügel ☃.afs"; do
  [ -f "$work/windows/$expected" ] || { echo "the Windows CLI did not write $expected"; exit 1; }
done
for page in catalogue.htm Built/dynamic.htm; do
  grep -q "Café" "$work/windows/$page" || { echo "$page does not show the program Café"; exit 1; }
done
# The bank lists keep CR LF line ends on both systems.
for index in "$work/windows/Volume/Programs/Bänke/bank.txt" "$work/windows/Volume/Programs/bank.txt"; do
  if [ "$(grep -c $'\r$' "$index")" -ne "$(wc -l <"$index")" ]; then
    echo "$index: a line without CR LF"
    exit 1
  fi
done
files="$(find "$work/windows" -type f | wc -l)"
echo "   $files files the same on Linux and Windows"
took
