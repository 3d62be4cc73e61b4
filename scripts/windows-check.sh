#!/usr/bin/env bash
# The Windows build, checked under Wine: cross-compiles the library, the CLI and the unit tests
# (preset windows-cross), runs the tests, then runs the same CLI session with the Linux CLI and
# the Windows CLI and requires every file they write to be the same, byte for byte (catalogue
# pages apart from their date line).
# Usage: windows-check.sh LINUX_BUILD_DIR   (a built Linux tree, for its velmorant-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
linux_cli="$root/${1:?usage: windows-check.sh LINUX_BUILD_DIR}/src/cli/velmorant-cli"
cross="$root/build-windows-cross"
jobs="$(nproc)"

cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j"$jobs"

work="$(mktemp -d)"
export WINEPREFIX="$work/wineprefix"
cleanup() {
  for server in /usr/lib/wine/wineserver64 "$(command -v wineserver || true)"; do
    if [ -n "$server" ] && [ -x "$server" ]; then "$server" -k 2>/dev/null || true; break; fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
# The prefix is made once here, so no test pays for it.
scripts/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true

echo "-- unit tests under Wine"
ctest --preset windows-cross -j"$jobs"

echo "-- CLI session: Linux and Windows write the same files"
# A 16-bit mono 44.1 kHz WAV file of N frames of a square wave whose period is P frames.
write_wav() {
  local file="$1" frames="$2" period="$3" bytes=$(($2 * 2)) i
  le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
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
    for f in Volume/Programs/Bank1/*.afp; do programs+=("$(native "$f")"); done
    set +e
    "$@" inspect "${programs[@]}" >/dev/null 2>&1; echo "inspect ${#programs[@]} programs: $?" >status.txt
    "$@" bank --import-bank "$(native Volume/Programs/Bank1/bank.txt)" --export "$(absolute "$dir/Exported")" \
      --bank-name Mine >/dev/null 2>&1; echo "bank export: $?" >>status.txt
    set -e
    "$@" catalogue Volume "$(absolute "$dir/catalogue.htm")"
    "$@" catalogue --dynamic Volume "$(native Built/dynamic.htm)"
    "$@" convert --root-key 60 mid.wav "$(native Built/Mid.afs)"
    "$@" convert --root-key 62 high.wav "$(native "Built/Flügel ☃.afs")"
    "$@" multisample --out "$(native Built/Keys.afp)" --auto-map low.wav mid.wav high.wav >/dev/null
    "$@" drums --layer 31=low.wav@90 --layer 31=mid.wav --layer 40=high.wav \
      --save-kit "$(native Built/kit.fdk)" --out "$(native Built/Kit.afp)" >/dev/null
  )
}
session "$work/linux" "$linux_cli"
session "$work/windows" "$root/scripts/wine-run.sh" "$cross/src/cli/velmorant-cli.exe"
rm -rf "$work/linux"/*.wav "$work/windows"/*.wav

for dir in "$work/linux" "$work/windows"; do
  for page in "$dir"/*.htm; do
    sed -i 's|<H2>Velmorant - [0-9/]* [0-9:]*</H2>|<H2>Velmorant - DATE</H2>|' "$page"
  done
done
if ! diff -r "$work/linux" "$work/windows"; then
  echo "the Windows CLI wrote different files"
  exit 1
fi
# The bank lists keep CR LF line ends on both systems.
for index in "$work/windows/Exported/Programs/Mine/bank.txt" "$work/windows/Volume/Programs/bank.txt"; do
  if [ "$(grep -c $'\r$' "$index")" -ne "$(wc -l <"$index")" ]; then
    echo "$index: a line without CR LF"
    exit 1
  fi
done
files="$(find "$work/windows" -type f | wc -l)"
echo "$files files the same on Linux and Windows"
