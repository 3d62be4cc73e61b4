#!/usr/bin/env bash
# Installs, builds and runs the main job on a built-in demo volume.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cli="$PWD/build/src/cli/velmorant-cli"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
volume="$work/Volume"

echo "== writing a demo volume into $volume"
"$cli" demo-volume "$volume"

echo
echo "== inspecting its programs"
"$cli" inspect "$volume"/Programs/Bank1/*.afp "$volume"/Programs/Drums/*.afp "$volume"/Programs/Created/*.afp || true

echo
echo "== importing the demo bank Bank1, one program into C1, then switching A1 and P8"
"$cli" bank --import-bank "$volume/Programs/Bank1/bank.txt" --start C1 \
  --import "$volume/Programs/Bank2/VA Bass.afp" --swap A1=P8 || true

echo
echo "== writing both catalogues of the demo volume"
pages="$PWD/build/demo-catalogues"
mkdir -p "$pages"
"$cli" catalogue "$volume" "$pages/static-catalogue.htm"
"$cli" catalogue --dynamic "$volume" "$pages/dynamic-catalogue.htm"
echo "Open them in a browser: $pages/static-catalogue.htm and $pages/dynamic-catalogue.htm"

echo
echo "== exporting the demo programs as the bank Demo of a second volume, then importing it back from there"
exported="$work/Exported"
mkdir -p "$exported"
"$cli" bank --import "$volume/Programs/Bank1/Grand Piano.afp" --import "$volume/Programs/Bank1/Warm Pad.afp" \
  --import "$volume/Programs/Bank1/Choir Lead.afp" --import "$volume/Programs/Bank2/FM Bells.afp" \
  --import "$volume/Programs/Drums/Studio Kit.afp" --export "$exported" --bank-name Demo | grep -v -- ' -$'
"$cli" bank --import-bank "$exported/Programs/Demo/bank.txt" | grep -v -- ' -$'
echo "Every exported program found all its files in the exported volume."

# With a display the desktop application opens on the demo volume: its choosers start in the
# demo bank folder, so File > Import Bank and its bank.txt load the demo bank.
app="$PWD/build/src/ui/velmorant"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$app" ]; then
  echo
  echo "== opening the desktop application (File > Import Bank, then bank.txt)"
  (cd "$volume/Programs/Bank1" && "$app")
fi
